// SPDX-License-Identifier: MIT
// The source of the targets that only build a precompiled header for others (cmake/FastBuild.cmake).
