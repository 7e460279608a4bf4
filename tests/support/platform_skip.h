#pragma once

#include <gtest/gtest.h>

// Tests that need what only Linux has (file modes, symbolic links, "#!/bin/sh"
// stand-ins for the game's tool, a case-sensitive file system, resource
// limits) skip on Windows, saying why. Tests whose very code is Linux's keep
// their body in an #ifndef _WIN32 block after it.
#ifdef _WIN32
#define SKIP_ON_WINDOWS(reason) GTEST_SKIP() << (reason)
#else
#define SKIP_ON_WINDOWS(reason) static_cast<void>(0)
#endif
