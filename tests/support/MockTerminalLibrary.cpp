#include "support/MockTerminalLibrary.h"

#include <cstring>

using ::testing::_;
using ::testing::Invoke;
using ::testing::Return;

void MockTerminalLibrary::ListUsbNames(std::vector<std::string> names) {
    ON_CALL(*this, TpUsbCount()).WillByDefault(Return(static_cast<uint32_t>(names.size())));
    ON_CALL(*this, TpUsbNameLength()).WillByDefault(Return(32));
    ON_CALL(*this, TpUsbName(_, _, _))
        .WillByDefault(Invoke([names](int32_t index, char* buffer, int32_t* size) {
            if (index < 0 || static_cast<size_t>(index) >= names.size()) return 2807;
            std::strncpy(buffer, names[index].c_str(), static_cast<size_t>(*size - 1));
            return 0;
        }));
}
