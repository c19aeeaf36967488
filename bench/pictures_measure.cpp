// Prints how long loadPicture takes for the set's pictures at each display scale: what a
// window waits for when it is made or its scale changes.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "clocks.h"
#include "platform/pictures.h"
#include "res/resource_ids.h"

namespace {

const struct {
    unsigned id;
    const char* name;
} pictures[] = {{IDB_BALL, "ball"},         {IDB_BACKBOARD, "backboard"}, {IDB_NET, "net"},
                {IDB_SCOREBOARD, "scoreboard"}, {IDB_DIGITS, "digits"},   {IDB_ABOUT, "About"}};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// One table of medians: every picture at each scale.
void measure(HINSTANCE instance, int rounds) {
    std::printf("%-6s", "dpi");
    for (const auto& p : pictures) std::printf(" %10s", p.name);
    std::printf(" %10s %14s\n", "set", "set but About");
    for (unsigned dpi : {96u, 120u, 144u, 192u, 288u}) {
        std::vector<std::vector<double>> times(std::size(pictures));
        std::vector<double> sets, setsButAbout;
        for (int r = 0; r < rounds; ++r) {
            double set = 0, about = 0;
            for (std::size_t i = 0; i < std::size(pictures); ++i) {
                const double start = counterSeconds();
                HBITMAP bitmap = loadPicture(instance, pictures[i].id, dpi);
                const double ms = (counterSeconds() - start) * 1000;
                if (bitmap == nullptr) {
                    std::printf("no %s at %u\n", pictures[i].name, dpi);
                    std::exit(1);
                }
                DeleteObject(bitmap);
                times[i].push_back(ms);
                set += ms;
                if (pictures[i].id == IDB_ABOUT) about = ms;
            }
            sets.push_back(set);
            setsButAbout.push_back(set - about);
        }
        std::printf("%-6u", dpi);
        for (const auto& t : times) std::printf(" %10.2f", median(t));
        std::printf(" %10.2f %14.2f\n", median(sets), median(setsButAbout));
    }
}

}  // namespace

int main() {
    const int rounds = 15;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    std::printf("loadPicture, median of %d rounds, ms; COM started and ended for each picture\n", rounds);
    measure(instance, rounds);
    // As the program runs: COM and the imaging factory held for its life.
    PictureCodecs codecs;
    std::printf("the same with the codecs held (PictureCodecs), as the program holds them\n");
    measure(instance, rounds);
    return 0;
}
