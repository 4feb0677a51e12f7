#pragma once

#include <dlfcn.h>

namespace platform {

// Sets function to the library's symbol of that name: false (and null) when it has none. For
// the libraries this layer opens only when first needed.
template <typename Function>
bool resolveSymbol(void* library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(::dlsym(library, name));
    return function != nullptr;
}

} // namespace platform
