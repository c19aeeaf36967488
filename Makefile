# The two commands of the README. Both install what is missing first (Debian packages).
.PHONY: check

check:
	scripts/install-deps
	scripts/check
