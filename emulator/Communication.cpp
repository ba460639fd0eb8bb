#include "Operations.h"

extern "C" [[gnu::visibility("default")]] void* CommunicationProc(int ordinal) {
    switch (ordinal) {
        case 4:
            return reinterpret_cast<void*>(&CommPortCount);
        case 5:
            return reinterpret_cast<void*>(&CommPortNameLength);
        case 6:
            return reinterpret_cast<void*>(&CommPortName);
        default:
            return nullptr;
    }
}
