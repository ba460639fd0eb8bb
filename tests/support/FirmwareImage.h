#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <string>

// Writes a firmware image the stand-in terminals accept: the "TQFW <model> <version>" line, a
// payload, and the CRC-32 of both, little-endian. `corruptChecksum` spoils the CRC.
void WriteFirmwareImage(const QString& path, const std::string& model, const std::string& version,
                        bool corruptChecksum = false);

// CRC-32 as zlib computes it (reflected polynomial 0xEDB88320).
uint32_t Crc32(const QByteArray& data);
