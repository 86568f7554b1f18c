# The two commands of the README: `make run` and `make test`. Both install what is missing first.
BUILD := build
JOBS := $(shell nproc)

.PHONY: setup build run test install package clean

setup:
	@scripts/setup.sh

build: setup
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

# The game runs from the repository's root, which holds data/, credits.txt and the hall of fame.
run: build
	$(BUILD)/zenith-guard

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Installs the game the way Debian lays out games: `make install` (under /usr/local), or
# `make install PREFIX=/usr DESTDIR=/tmp/stage`. Players start it with PREFIX/games/zenith-guard.
PREFIX := /usr/local
install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

# Builds the Debian package $(BUILD)/zenith-guard_<version>_<arch>.deb.
package: build
	@cd $(BUILD) && cpack

# Removes build products only; the player's HallOfFame.xml is never one of them.
clean:
	@[ ! -d $(BUILD) ] || cmake --build $(BUILD) --target clean
