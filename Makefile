# Kiwano Snapper: `make run` starts the app, `make test` runs every test, `make bench` measures.
BUILD ?= build
JOBS ?= $(shell nproc)
BUILD_TYPE ?= RelWithDebInfo

PREFIX ?= /usr/local
DESTDIR ?=
# What an installation needs; the tests and benchmarks are not built for it.
INSTALL_TARGETS = kiwano-snapper kiwano-capture kiwano-appicons-png kiwano-changelog

.PHONY: deps configure build run test bench screenshots install package clean

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
	@cmake --build $(BUILD) -j $(JOBS) --target bench/all
	@bash scripts/install-deps.sh scripts/bench-packages.txt
	@bash scripts/run-bench.sh $(BUILD)

screenshots: configure
	@cmake --build $(BUILD) --target kiwano-screenshots kiwano-make-grabs -j $(JOBS)
	@bash scripts/screenshots.sh $(BUILD)

install: configure
	@cmake --build $(BUILD) -j $(JOBS) --target $(INSTALL_TARGETS)
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# A Debian package of the install, in $(BUILD); scripts/debian-packages.txt lists its tools.
package: configure
	@cmake --build $(BUILD) -j $(JOBS) --target $(INSTALL_TARGETS)
	cd $(BUILD) && cpack -G DEB
	desktop-file-validate resources/linux/org.kiwanosnapper.KiwanoSnapper.desktop \
	  $(BUILD)/org.kiwanosnapper.KiwanoSnapper.Service.desktop $(BUILD)/org.kiwanosnapper.KiwanoSnapper.Capture.desktop
	appstreamcli validate --no-net resources/linux/org.kiwanosnapper.KiwanoSnapper.metainfo.xml

clean:
	rm -rf $(BUILD)
