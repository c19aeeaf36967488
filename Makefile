# The two commands of the README. Both install what is missing first (Debian packages).
.PHONY: check run measure coverage demo assets dist

check:
	scripts/install-deps
	scripts/check

run:
	@scripts/run

# Figures, not a test: what the main loop and the whole program cost under Wine, each beside
# a loop that never waits, and how the ball's motion looks before and after display-rate
# motion. About twenty minutes.
measure:
	scripts/install-deps
	scripts/measure-main-loop
	scripts/measure-program
	scripts/measure-motion

# Line coverage of src/ by the native and win64 tiers (gcov), and the lines no test runs
# (build/coverage/unrun.txt). Not a test: it prints figures.
coverage:
	scripts/install-deps
	scripts/coverage

# A short scripted game on a virtual screen of its own: docs/demo.gif and docs/screenshot.png.
demo:
	scripts/install-deps
	scripts/demo

# Regenerates the pictures and sounds in res/ and the contact sheet docs/art.png.
assets:
	scripts/install-deps
	/usr/bin/python3 tools/gen_assets.py

# Release archives of both builds with SHA-256 sums, reproducible from the same commit.
dist:
	scripts/install-deps
	scripts/dist
