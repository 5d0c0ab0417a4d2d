// The error numbers as short texts, for the messages programs print.
#include "zentravolk/shortcuts.h"

namespace {

// Indexed by error number.
constexpr const char* kErrorTexts[] = {
    "no error",              // ZQ_OK
    "illegal call",          // ZQ_ERR_ILLEGAL_CALL
    "file not found",        // ZQ_ERR_FILE_NOT_FOUND
    "file input/output error",  // ZQ_ERR_FILE_IO: bad or short data, or a failed read or write
    "out of memory",         // ZQ_ERR_OUT_OF_MEMORY
};
constexpr int kErrorCount = int(sizeof kErrorTexts / sizeof kErrorTexts[0]);
static_assert(kErrorCount == ZQ_ERR_OUT_OF_MEMORY + 1, "one text for every error number");

}  // namespace

const char* rt_error_text(int error) {
  return error >= 0 && error < kErrorCount ? kErrorTexts[error] : "unknown error";
}
