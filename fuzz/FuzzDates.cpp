// Docker's time stamps. A stamp that parses is a valid instant that keeps its
// millisecond through the state cache's number form.

#include "FuzzInput.h"

#include "docker/Records.h"

using namespace stowage;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const OptionalDate date = parseDockerDate(fuzz::text(data, size));
    if (date) {
        fuzz::require(date->isValid(), "a parsed date is valid");
        const QDateTime back = fromReferenceSeconds(toReferenceSeconds(*date));
        fuzz::require(back.toMSecsSinceEpoch() == date->toMSecsSinceEpoch(), "a date survives the cache form");
    }
    return 0;
}
