# Front door of the project. `make run` plays the production, `make test` runs
# every test; both install what is missing first.
BUILD   ?= build
JOBS    ?= $(shell nproc)
CMAKE   ?= cmake
FUZZ_SECONDS ?= 20

.PHONY: all deps build assets assets-render run video test fuzz bench clean sheets review

all: build

deps:
	@bash scripts/deps.sh

# CI (CI=true) treats compiler warnings as errors.
$(BUILD)/CMakeCache.txt:
	$(CMAKE) -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(if $(filter true,$(CI)),-DHLV_WERROR=ON)

build: deps $(BUILD)/CMakeCache.txt
	$(CMAKE) --build $(BUILD) -j $(JOBS)

assets: build
	$(CMAKE) --build $(BUILD) --target assets

# Remakes the pictures that come from offline renderers (POV-Ray, Blender),
# which are committed beside their scripts in tools/render/, then the pack.
assets-render:
	@bash scripts/deps.sh --render
	@bash tools/render/render.sh
	@$(MAKE) --no-print-directory assets

# Plays the production from the build folder (which holds hlvd/). Without a
# display it records the production to a video instead.
run: assets
	@bash scripts/run.sh $(BUILD)

video: assets
	@bash scripts/run.sh $(BUILD) --record

test: assets
	@bash scripts/test.sh $(BUILD) $(FUZZ_SECONDS)

fuzz: deps
	@bash scripts/fuzz.sh 600

bench: assets
	@bash scripts/bench.sh $(BUILD)

clean:
	rm -rf $(BUILD) build-fuzz build-sanitize build-tsan

# Blind-review folders: frames every 2 s of every section, sorted into
# folders with each section's description, in $(BUILD)/review/.
REVIEW_KIT ?= ../shared/review
review: assets
	@test -f $(REVIEW_KIT)/make-set.sh || { echo "review: no $(REVIEW_KIT)/make-set.sh (set REVIEW_KIT=DIR)"; exit 1; }
	@ctest --test-dir $(BUILD) -R '^test_loading$$' >/dev/null || echo "review: the loading tests failed; the loading folder may be empty"
	@bash $(REVIEW_KIT)/make-set.sh $(BUILD) $(BUILD)/review 2
	@echo "review: folders in $(BUILD)/review/"

# Contact sheets of every mesh and every texture, for looking at the pack.
sheets: assets
	@bash scripts/sheets.sh $(BUILD)
