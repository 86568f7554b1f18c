# The two commands of the README: `make run` and `make test`. Both install what is missing first.
BUILD := build
JOBS := $(shell nproc)

.PHONY: setup build run test clean

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

# Removes build products only; the player's HallOfFame.xml is never one of them.
clean:
	@[ ! -d $(BUILD) ] || cmake --build $(BUILD) --target clean
