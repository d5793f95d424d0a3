// Loading the library at run time: dlopen on Linux, LoadLibrary on Windows.
#pragma once

void* OpenLibrary(const char* path);
void* FindFunction(void* library, const char* name);
void CloseLibrary(void* library);
