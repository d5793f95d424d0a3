#include "Loader.h"

#include <dlfcn.h>

void* OpenLibrary(const char* path) { return dlopen(path, RTLD_NOW); }

void* FindFunction(void* library, const char* name) { return dlsym(library, name); }

void CloseLibrary(void* library) { dlclose(library); }
