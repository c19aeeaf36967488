# The two commands of the README. Both install what is missing first (Debian packages).
.PHONY: check run

check:
	scripts/install-deps
	scripts/check

run:
	scripts/run
