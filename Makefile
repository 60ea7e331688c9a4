# Kiwano Snapper: `make run` starts the app, `make test` runs every test, `make bench` measures.
BUILD ?= build
JOBS ?= $(shell nproc)
BUILD_TYPE ?= RelWithDebInfo

.PHONY: deps configure build run test bench screenshots clean

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/src/app/kiwano-snapper

test: build
	@bash scripts/run-tests.sh $(BUILD)

bench: build
	@bash scripts/install-deps.sh scripts/bench-packages.txt
	@bash scripts/run-bench.sh $(BUILD)

screenshots: configure
	@cmake --build $(BUILD) --target kiwano-screenshots kiwano-make-grabs -j $(JOBS)
	@bash scripts/screenshots.sh $(BUILD)

clean:
	rm -rf $(BUILD)
