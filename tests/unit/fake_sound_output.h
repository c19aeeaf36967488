#pragma once

#include <vector>

// Cues that passed the gate, in order, with the module they were asked of.
namespace fake_sound_output {

struct Request {
    int cueId;
    void* module;
};

extern std::vector<Request> requests;
std::vector<int> cueIds();

}  // namespace fake_sound_output
