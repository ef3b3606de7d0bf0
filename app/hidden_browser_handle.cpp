#include "app/hidden_browser_handle.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>

namespace lunvek {
namespace {

constexpr const char* module_name = "liblunvek-popup.so";

struct PopupModule {
    void* (*create)(GtkApplication*) = nullptr;
    void (*destroy)(void*) = nullptr;
    void (*load)(void*, const char*) = nullptr;
    WebKitWebView* (*view)(void*) = nullptr;
};

std::string program_directory() {
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return {};
    std::string program(path, static_cast<size_t>(length));
    return program.substr(0, program.rfind('/') + 1);
}

template <typename Function>
bool find(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

// Next to the program (the build tree), in the installed layout, or where the build put it (test programs
// live in directories of their own). Never unloaded: popup windows outlive the hidden browser.
PopupModule open_module() {
    const std::string directory = program_directory();
    const std::string candidates[] = {directory + module_name, directory + "../lib/lunvek/" + module_name,
                                      LUNVEK_POPUP_MODULE_PATH};
    void* library = nullptr;
    for (const std::string& candidate : candidates) {
        if ((library = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL)) != nullptr)
            break;
    }
    PopupModule module;
    if (library == nullptr) {
        std::fprintf(stderr, "lunvek: the browser module %s cannot be loaded: %s\n", module_name, dlerror());
        return module;
    }
    if (!find(library, "lunvek_hidden_browser_new", module.create) ||
        !find(library, "lunvek_hidden_browser_free", module.destroy) ||
        !find(library, "lunvek_hidden_browser_load", module.load) ||
        !find(library, "lunvek_hidden_browser_view", module.view)) {
        std::fprintf(stderr, "lunvek: the browser module %s is incomplete\n", module_name);
        module = {};
    }
    return module;
}

const PopupModule& popup_module() {
    static const PopupModule module = open_module();
    return module;
}

}  // namespace

HiddenBrowserHandle::HiddenBrowserHandle(Glib::RefPtr<Gtk::Application> application)
    : application_(std::move(application)) {}

HiddenBrowserHandle::~HiddenBrowserHandle() {
    if (browser_ != nullptr)
        popup_module().destroy(browser_);
}

bool HiddenBrowserHandle::load(const std::string& uri) {
    if (browser_ == nullptr) {
        const PopupModule& module = popup_module();
        if (module.create == nullptr)
            return false;
        browser_ = module.create(application_ ? application_->gobj() : nullptr);
    }
    popup_module().load(browser_, uri.c_str());
    return true;
}

WebKitWebView* HiddenBrowserHandle::view() const {
    return browser_ != nullptr ? popup_module().view(browser_) : nullptr;
}

}  // namespace lunvek
