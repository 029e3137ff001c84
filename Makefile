# Qorvel Tweaker: the two entry points.
#   make test  - installs what is missing, builds everything, runs every test
#   make run   - builds the program and starts it (under Wine on Linux)
#   make fuzz  - runs each fuzz target for a bounded time (FUZZ_SECONDS, 60)
.PHONY: test run fuzz setup clean format format-check bench

test:
	@bash scripts/run-tests.sh

run:
	@bash scripts/run.sh

fuzz:
	@bash fuzz/run-fuzz.sh

bench:
	@bash bench/run-bench.sh

setup:
	@bash scripts/setup.sh

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

format-check:
	@clang-format --dry-run --Werror $$(git ls-files '*.cpp' '*.h')

clean:
	@-WINEPREFIX=$(CURDIR)/build/wineprefix wineserver -k 2>/dev/null
	rm -rf build
