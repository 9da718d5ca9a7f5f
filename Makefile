# Two commands do all the set-up on a fresh Debian 12 machine:
#   make run   installs what is needed, builds and starts Orbelline
#   make test  installs what is needed, builds and runs every test
BUILD ?= build
JOBS ?= 2
ARGS ?=

.PHONY: deps configure build run test bench package clean

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS) -- --no-print-directory

run: build
	@$(BUILD)/app/orbelline $(ARGS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD)/bench/*_bench; do $$b; done

# A Debian package of the program in $(BUILD)/, installing into /usr.
package: build
	@cd $(BUILD) && cpack -G DEB

clean:
	@rm -rf $(BUILD)
