# The two set-up commands of the README, and the tools around them.
#   make run    installs what is missing, builds and launches the strip
#   make test   installs what is missing, builds and runs every test
#   make bench  runs the benchmarks          make fuzz  runs each fuzz target a while
.PHONY: deps build run package install-check screenshots test-windows test-sync test test-core test-asan test-valgrind bench fuzz clean

FUZZ_SECONDS ?= 180
FUZZ_SEED ?= 0
FUZZ_CORPUS ?= build/fuzz/corpus
CTEST_ARGS ?=

deps:
	@scripts/install-deps build

run: deps
	cmake --preset release
	cmake --build --preset release
	build/release/src/ambrin

build:
	@scripts/install-deps test
	cmake --preset dev
	cmake --build --preset dev

# A Debian package of the release build, dependencies computed by dpkg-shlibdeps.
package:
	@scripts/install-deps package
	cmake --preset release
	cmake --build --preset release
	cd build/release && cpack

# The pictures in docs/ at 200 % and in a dark palette, drawn offscreen.
screenshots: build
	cmake --build --preset dev --target ambrin_screenshots
	QT_SCALE_FACTOR=2 build/dev/ambrin_screenshots docs -200
	build/dev/ambrin_screenshots docs -dark dark

install-check: package
	scripts/check-install

test: build
	ctest --preset dev $(CTEST_ARGS)

# The core and its Windows layer, cross-compiled with MinGW-w64 and tested under Wine.
test-windows:
	@scripts/install-deps windows
	cmake --preset windows
	cmake --build --preset windows
	ctest --preset windows $(CTEST_ARGS)

# Two strips sharing their folder through two Syncthing instances on loopback, on Xvfb.
test-sync: build
	@scripts/install-deps sync
	scripts/test-sync build/dev/src/ambrin

test-core:
	@scripts/install-deps test
	cmake --preset core
	cmake --build --preset core
	ctest --preset core $(CTEST_ARGS)

test-asan:
	@scripts/install-deps test
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan $(CTEST_ARGS)

# The windows driven as a user would (start, changes, every dialog, quit) and the core,
# under valgrind: no errors and no definite leaks. The slowest cases are left to the others;
# a run that hangs is ended after 20 minutes. Qt's regular expressions run without their JIT:
# valgrind cannot follow code made at run time and reports its reads as uninitialised.
VALGRIND = timeout --kill-after=10 1200 valgrind --error-exitcode=9 --leak-check=full --errors-for-leak-kinds=definite \
	--show-leak-kinds=definite --suppressions=tests/valgrind.supp -q
test-valgrind: build
	@scripts/install-deps valgrind
	QT_QPA_PLATFORM=offscreen QT_ENABLE_REGEXP_JIT=0 $(VALGRIND) build/dev/tests/ambrin_ui_tests \
	    --gtest_filter='-*Large*:*SingleInstance*:*WholeDay*:X11*' --gtest_brief=1
	$(VALGRIND) build/dev/tests/ambrin_core_tests \
	    --gtest_filter='-*Million*:KillDuringSave.*:*RoundTripEveryDay*:*PartsMeet*:*Joins*:*Allocator*' --gtest_brief=1

BENCH_SUMMARY = build/bench/summary.txt
bench:
	@scripts/install-deps bench
	cmake --preset bench
	cmake --build --preset bench
	rm -f $(BENCH_SUMMARY)
	AMBRIN_BENCH_SUMMARY=$(BENCH_SUMMARY) build/bench/bench/ambrin_bench_csv
	AMBRIN_BENCH_SUMMARY=$(BENCH_SUMMARY) build/bench/bench/ambrin_bench_save
	AMBRIN_BENCH_SUMMARY=$(BENCH_SUMMARY) build/bench/bench/ambrin_bench_edit_log
	AMBRIN_BENCH_SUMMARY=$(BENCH_SUMMARY) build/bench/bench/ambrin_bench_whole_program build/bench/src/ambrin
	AMBRIN_BENCH_SUMMARY=$(BENCH_SUMMARY) build/bench/bench/ambrin_bench_report build/bench/src/ambrin
	@printf '\n==== Summary: each measure against its floor ====\n'
	@cat $(BENCH_SUMMARY)

fuzz:
	@scripts/install-deps fuzz
	cmake --preset fuzz
	cmake --build --preset fuzz
	@for target in build/fuzz/tests/fuzz/fuzz_*; do \
	    corpus=$(FUZZ_CORPUS)/$$(basename $$target); mkdir -p $$corpus; \
	    echo "== $$target for $(FUZZ_SECONDS) s"; \
	    $$target -max_total_time=$(FUZZ_SECONDS) -seed=$(FUZZ_SEED) -max_len=65536 -print_final_stats=1 \
	        $$corpus tests/fuzz/seeds > $$corpus.log 2>&1 || { tail -n 60 $$corpus.log; exit 1; }; \
	    tail -n 6 $$corpus.log; \
	done

clean:
	rm -rf build
