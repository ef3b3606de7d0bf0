#include "app/popup/browser_settings.h"

#include <cstring>

namespace lunvek {
namespace {

void disable_feature(WebKitSettings* settings, const char* identifier) {
    WebKitFeatureList* features = webkit_settings_get_all_features();
    for (gsize i = 0; i < webkit_feature_list_get_length(features); ++i) {
        WebKitFeature* feature = webkit_feature_list_get(features, i);
        if (std::strcmp(webkit_feature_get_identifier(feature), identifier) == 0) {
            webkit_settings_set_feature_enabled(settings, feature, FALSE);
        }
    }
    webkit_feature_list_unref(features);
}

}  // namespace

WebKitSettings* new_browser_settings() {
    WebKitSettings* settings = webkit_settings_new();
    webkit_settings_set_javascript_can_open_windows_automatically(settings, TRUE);
    // Script errors go nowhere: no dialog, no console output.
    webkit_settings_set_enable_write_console_messages_to_stdout(settings, FALSE);
    disable_feature(settings, "HiddenPageDOMTimerThrottling");
    return settings;
}

WebKitWebView* new_popup_browser(WebKitWebView* opener) {
    WebKitUserContentManager* content = webkit_user_content_manager_new();
    auto* view =
        WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "related-view", opener, "settings",
                                     webkit_web_view_get_settings(opener), "user-content-manager", content, nullptr));
    g_object_unref(content);
    return view;
}

}  // namespace lunvek
