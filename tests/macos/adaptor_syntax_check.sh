#!/bin/sh
# Checks that the macOS adaptor is well-formed Objective-C++ without a macOS
# SDK: clang++ -fsyntax-only against Debian's GNUstep Foundation and AppKit
# headers and the test-only CoreFoundation, CoreGraphics and IOKit
# declarations beside this script. Warnings are errors.
#   adaptor_syntax_check.sh SOURCE_DIR [CLANGXX] [GNUSTEP_CONFIG]
set -eu
source_dir=$1
clangxx=${2:-clang++}
gnustep_config=${3:-gnustep-config}

# GNUstep's headers are system headers here: their own warnings are not ours.
objc_flags=$("$gnustep_config" --objc-flags | sed 's/-MMD//; s/-MP//; s/ -I\. / /; s/-I\//-isystem \//g')
# libobjc's headers (objc/objc.h) live in gcc's own include directory.
gcc_include=$(gcc -print-file-name=include)

# shellcheck disable=SC2086
exec "$clangxx" -fsyntax-only -x objective-c++ -std=c++20 -fobjc-runtime=gcc \
    -isystem "$gcc_include" $objc_flags -Wall -Wextra -Wpedantic -Werror \
    -I "$source_dir/tests/macos/sdk_declarations" -I "$source_dir" \
    "$source_dir/platform/macos/macos_platform.mm"
