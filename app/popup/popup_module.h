// The entry points of the popup module (liblunvek-popup.so), which the program loads on first use. Plain C
// names, so the program finds them with dlsym.
#pragma once

#include <gtk/gtk.h>

typedef struct _WebKitWebView WebKitWebView;

extern "C" {

// A new hidden browser whose popup windows are added to `application` (may be null).
void* lunvek_hidden_browser_new(GtkApplication* application);
void lunvek_hidden_browser_free(void* browser);
void lunvek_hidden_browser_load(void* browser, const char* uri);
WebKitWebView* lunvek_hidden_browser_view(void* browser);
}
