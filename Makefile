# The two commands of the README. Both install what is missing first (Debian packages).
.PHONY: check run measure assets dist

check:
	scripts/install-deps
	scripts/check

run:
	scripts/run

# Figures, not a test: what the main loop costs under Wine, beside a loop that never waits.
measure:
	scripts/install-deps
	cmake --preset win64
	cmake --build --preset win64 -j 2 --target main_loop_measure
	scripts/measure-main-loop

# Regenerates the pictures and sounds in res/ and the contact sheet docs/art.png.
assets:
	scripts/install-deps
	/usr/bin/python3 tools/gen_assets.py

# Release archives of both builds with SHA-256 sums, reproducible from the same commit.
dist:
	scripts/install-deps
	scripts/dist
