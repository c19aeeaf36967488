# The two commands of the README. Both install what is missing first (Debian packages).
.PHONY: check

check:
	scripts/install-deps
	scripts/check

# Regenerates the pictures and sounds in res/ and the contact sheet docs/art.png.
.PHONY: assets
assets:
	scripts/install-deps
	/usr/bin/python3 tools/gen_assets.py
