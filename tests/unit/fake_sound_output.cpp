#include "unit/fake_sound_output.h"

#include "platform/sound_output.h"

namespace fake_sound_output {

std::vector<Request> requests;

std::vector<int> cueIds() {
    std::vector<int> ids;
    for (const Request& r : requests) ids.push_back(r.cueId);
    return ids;
}

}  // namespace fake_sound_output

namespace sound_output {

void startCue(int cueId, void* module) { fake_sound_output::requests.push_back({cueId, module}); }

}  // namespace sound_output
