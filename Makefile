# Two commands set up and do everything on a fresh Debian 12 machine:
#   make run    build and start the clock under Wine
#   make test   build both targets and run the whole suite
BUILD ?= build

.PHONY: all deps build test run clean screenshots package

all: build

deps:
	@scripts/deps.sh

build: deps
	@scripts/build.sh $(BUILD)

test: build
	@scripts/test.sh $(BUILD)

run: build
	@scripts/run.sh $(BUILD)

package: build
	@scripts/package.sh $(BUILD)

# The README pictures in docs/, made from the built clock on a virtual display.
screenshots: build
	@scripts/screenshots.sh $(BUILD)

clean:
	rm -rf $(BUILD)
