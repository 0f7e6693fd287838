# Two commands set up and do everything on a fresh Debian 12 machine:
#   make run    build and start the clock under Wine
#   make test   build both targets and run the whole suite
BUILD ?= build

.PHONY: all deps package-deps build test run clean screenshots package bench reproducible dist

all: build

deps:
	@scripts/deps.sh

# Only what make package and make dist need: nothing is downloaded besides Debian packages.
package-deps:
	@scripts/deps.sh package

build: deps
	@scripts/build.sh $(BUILD)

test: build
	@scripts/test.sh $(BUILD)

run: build
	@scripts/run.sh $(BUILD)

# Refuses a checkout with uncommitted changes before it builds (ALLOW_DIRTY=1 for a
# development build). Builds the programs without the test suite, so once the Debian packages
# are there it works without a network.
package: package-deps
	@scripts/package.sh --preflight
	@scripts/build.sh --no-tests $(BUILD)
	@scripts/package.sh $(BUILD)

# The source archive of the last commit, for building without git: $(BUILD)/dist/.
dist: package-deps
	@scripts/dist.sh $(BUILD)

# The last commit built a second time elsewhere, later and otherwise: both packages and
# programs must agree byte for byte. Not part of make test; CI runs it after.
reproducible: deps
	@scripts/reproducible.sh $(BUILD)

# The README pictures in docs/, made from the built clock on a virtual display.
screenshots: build
	@scripts/screenshots.sh $(BUILD)

# The clock against a bare one-second-timer window, side by side under Wine: the table is
# printed and left in $(BUILD)/bench/results.md. Not part of make test.
bench: build
	@scripts/bench.sh $(BUILD)

clean:
	rm -rf $(BUILD)
