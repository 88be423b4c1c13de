# Sourced by scripts/setup-windows and the scripts that build for Windows.
#
# The Windows SDK (Qt, QScintilla and GoogleTest cross-compiled with mingw-w64)
# lives outside the checkout, in a folder named after its recipe: the files
# that build it (not the project's other CMake files) and the versions of the Debian packages it is made from. A
# change of any of them names a new folder, so an SDK is never mixed from two
# recipes. Needs the packages of scripts/setup-windows installed.
#
# win_sdk_recipe: prints the recipe.
# win_sdk_locate: sets $win_sdk_hash and $win_sdk, the SDK's folder
#   (${ZIBBLES_WIN_SDK}, when set, names it instead of the hash).
# win_sdk_ready: true when $win_sdk holds a complete SDK of this recipe.

win_sdk_repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# The Debian packages whose versions make the SDK: the compiler and its
# runtime, the Linux Qt whose host tools build the Windows one, and the source
# packages that are cross-compiled.
win_sdk_packages=(
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
  qt6-base-dev-tools libqscintilla2-qt6-dev googletest
)

win_sdk_recipe() {
  (cd "$win_sdk_repo" &&
    sha256sum scripts/setup-windows scripts/lib/winsdk.sh cmake/mingw-w64-x86_64.cmake \
      $(find cmake/qscintilla cmake/smoke -type f | LC_ALL=C sort))
  dpkg-query -W -f='${Package} ${Version} ${source:Package} ${source:Version}\n' \
    "${win_sdk_packages[@]}"
}

win_sdk_locate() {
  win_sdk_hash=$(win_sdk_recipe | sha256sum | cut -c1-16)
  win_sdk=${ZIBBLES_WIN_SDK:-$HOME/.cache/zibbles/win-sdk-$win_sdk_hash}
}

win_sdk_ready() {
  [ "$(cat "$win_sdk/recipe-hash" 2>/dev/null)" = "$win_sdk_hash" ]
}

# win_sdk_deploy DIR [SDK]: copies beside the programs in DIR the DLLs they
# need from the SDK ($win_sdk unless given): Qt's, QScintilla's, the compiler's
# runtime, and the plugins for Qt's windows platform and its native style.
win_sdk_deploy() {
  local sdk=${2:-$win_sdk}
  mkdir -p "$1/platforms" "$1/styles"
  cp "$sdk"/bin/*.dll "$1/"
  cp "$sdk/plugins/platforms/qwindows.dll" "$1/platforms/"
  cp "$sdk"/plugins/styles/*.dll "$1/styles/"
}
