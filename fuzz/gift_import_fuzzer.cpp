// A GIFT bank of arbitrary bytes, imported and made into a base.
#include "bank_import_fuzzing.h"
#include "interchange/gift_import.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvel::convertToBase(korvel::importGift(korvel::fuzzInput(data, size)));
    return 0;
}
