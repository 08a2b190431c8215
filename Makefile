# make run   install what is missing, build, and start the Linux program
# make test  install what is missing, build everything, and run every test
# make build build without running

SUDO := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)
JOBS ?= $(shell nproc)

LINUX_PKGS := cmake make g++ clang libclang-rt-14-dev pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev \
  libbenchmark-dev python3 fonts-ipafont vorbis-tools xvfb xauth xdotool imagemagick desktop-file-utils
WIN_PKGS := g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine64 locales
PKGS := $(LINUX_PKGS) $(WIN_PKGS)

.PHONY: deps build build-linux build-fuzz build-win run test test-linux test-fuzz test-win bench fuzz clean

deps:
	@missing=$$(for p in $(PKGS); do \
	  dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "Installing: $$missing"; \
	  $(SUDO) apt-get update && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y $$missing; \
	fi

build-linux: deps
	cmake --preset linux
	cmake --build --preset linux -j $(JOBS)

# The Windows program: the shipped 32-bit exe and the 64-bit one the tests run.
build-win: deps
	cmake --preset win32
	cmake --build --preset win32 -j $(JOBS)
	cmake --preset win64
	cmake --build --preset win64 -j $(JOBS)

build: build-linux build-win

run: build-linux
	./build/linux/brimvale

test-linux: build-linux
	ctest --preset linux -j $(JOBS)

# The fuzzers in a clang build of their own, with only the core beside them.
build-fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DBRIMVALE_QT=OFF -DBRIMVALE_TESTS=OFF -DBRIMVALE_FUZZ=ON
	cmake --build build/fuzz -j $(JOBS)

test-fuzz: build-fuzz
	cd build/fuzz && ctest --output-on-failure

FUZZ_SECONDS ?= 60
fuzz: build-fuzz
	for t in profile text args; do mkdir -p build/fuzz/corpus/$$t && \
	  ./build/fuzz/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -max_len=4096 \
	    build/fuzz/corpus/$$t fuzz/corpus/$$t || exit 1; done

# The Windows tests under wine64 with Xvfb, in a fresh Wine prefix.
test-win: build-win
	tests/win32/run-wine.sh build/win64

test: test-linux test-fuzz test-win

bench: deps
	cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DBRIMVALE_BENCH=ON -DBRIMVALE_QT=ON -DBRIMVALE_TESTS=OFF
	cmake --build build/bench -j $(JOBS) --target brimvale_bench
	cmake --preset win32 && cmake --build --preset win32 -j $(JOBS) --target brimvale
	./build/bench/bench/brimvale_bench --benchmark_out=build/bench/core.json --benchmark_out_format=json
	./build/bench/bench/qt/brimvale_qt_bench --benchmark_out=build/bench/qt.json --benchmark_out_format=json
	cmake --preset win64 && cmake --build --preset win64 -j $(JOBS) --target brimvale_bench_win32
	bench/win32/run-wine.sh build/win64 | tee build/bench/wine.txt
	python3 bench/report.py build/bench/core.json build/bench/qt.json build/bench/wine.txt build/win32/brimvale.exe

clean:
	rm -rf build

# The Windows settings benchmark under wine64: our profile and the settings
# store against GetPrivateProfileStringA/WritePrivateProfileStringA key by key.
.PHONY: bench-win
bench-win: deps
	cmake --preset win64
	cmake --build --preset win64 -j $(JOBS) --target brimvale_bench_win32
	bench/win32/run-wine.sh build/win64
