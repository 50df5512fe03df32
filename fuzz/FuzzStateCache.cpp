// The state cache decoder: any bytes on disk. A file that decodes is written
// back and read again to the same state.

#include "FuzzInput.h"

#include "cache/StateCache.h"

using namespace stowage;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto state = StateCache::decode(fuzz::bytes(data, size));
    if (state) {
        const auto again = StateCache::decode(StateCache::encode(*state));
        fuzz::require(again.has_value(), "an encoded state decodes");
        fuzz::require(*again == *state, "a decoded state survives encoding");
    }
    return 0;
}
