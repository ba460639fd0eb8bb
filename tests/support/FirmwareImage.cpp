#include "support/FirmwareImage.h"

#include <gtest/gtest.h>
#include <QByteArray>
#include <QFile>
#include <cstdint>

uint32_t Crc32(const QByteArray& data) {
    uint32_t crc = 0xFFFFFFFFu;
    for (const char c : data) {
        crc ^= static_cast<uint8_t>(c);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1u) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
        }
    }
    return crc ^ 0xFFFFFFFFu;
}

void WriteFirmwareImage(const QString& path, const std::string& model, const std::string& version,
                        bool corruptChecksum) {
    QByteArray image = QByteArray("TQFW ") + model.c_str() + ' ' + version.c_str() + '\n';
    for (int i = 0; i < 256; ++i) image.append(static_cast<char>(i));
    uint32_t crc = Crc32(image);
    if (corruptChecksum) crc ^= 0x1u;
    for (int shift = 0; shift < 32; shift += 8) image.append(static_cast<char>(crc >> shift));

    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(image) != image.size()) {
        ADD_FAILURE() << "cannot write firmware image " << path.toStdString();
    }
}
