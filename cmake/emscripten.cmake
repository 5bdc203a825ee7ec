# Building the web page with Debian's emscripten (package emscripten, which needs node-acorn):
#   cmake -G Ninja -S . -B build-web -DCMAKE_TOOLCHAIN_FILE=cmake/emscripten.cmake
# scripts/build-web.sh does this. The emscripten cache is the one the package ships, frozen:
# EM_CACHE stays unset.
find_program(PELMORA_EMCC emcc REQUIRED)
file(REAL_PATH "${PELMORA_EMCC}" pelmora_emcc_real)
get_filename_component(pelmora_emscripten_root "${pelmora_emcc_real}" DIRECTORY)
if(NOT EXISTS "${pelmora_emscripten_root}/cmake/Modules/Platform/Emscripten.cmake")
  set(pelmora_emscripten_root /usr/share/emscripten)
endif()
include("${pelmora_emscripten_root}/cmake/Modules/Platform/Emscripten.cmake")

# The linker runs emscripten's JavaScript tools under Node, which must find Debian's acorn;
# a Node from elsewhere does not look in /usr/share/nodejs by itself.
set(CMAKE_CXX_LINKER_LAUNCHER env "NODE_PATH=/usr/share/nodejs:$ENV{NODE_PATH}")
