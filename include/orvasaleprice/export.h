// ORVA_API marks what the shared library liborvasaleprice exports: the
// classes and functions declared in this folder. Everything else is compiled
// with hidden visibility and stays inside the library (a linker version
// script also keeps the standard library's instantiations local).
#pragma once

#if defined(__GNUC__) || defined(__clang__)
#define ORVA_API __attribute__((visibility("default")))
#else
#define ORVA_API
#endif
