// Page rendering. The surrounding layout is a plain modern site; only the result markup is load-bearing.
#include "site/pages.h"

#include <algorithm>

#include "site/keyword.h"

namespace lunvek::site {

namespace {

constexpr std::string_view style_block = R"(<style>
:root{--accent:#1e88e5;--muted:#6b7280;--line:#e5e7eb;--pill:#e3f2fd}
*{box-sizing:border-box}
body{margin:0;font:14px/1.6 "Noto Sans CJK SC","Microsoft YaHei",system-ui,sans-serif;color:#1f2937;background:#f7f8fa}
.site-header{background:#fff;border-bottom:1px solid var(--line)}
.site-header .inner,.site-main,.site-footer .inner{max-width:1080px;margin:0 auto;padding:0 16px}
.site-header .inner{display:flex;align-items:center;gap:24px;height:64px}
.brand{font-size:22px;font-weight:700;color:var(--accent);text-decoration:none}
.nav a{color:#374151;margin-right:16px;text-decoration:none}
.search-form{display:flex;flex:1}
.search-form input{flex:1;height:36px;border:1px solid var(--line);border-radius:4px 0 0 4px;padding:0 12px}
.search-form button{height:36px;border:0;background:var(--accent);color:#fff;padding:0 18px;border-radius:0 4px 4px 0}
.site-main{display:grid;grid-template-columns:1fr 280px;gap:24px;padding-top:24px;padding-bottom:32px}
.search-item{background:#fff;border:1px solid var(--line);border-radius:6px;padding:12px 16px;margin-bottom:12px}
.item-name{margin:0 0 6px;font-size:16px;font-weight:600}
.highlight{color:#e53935}
.item-bar{color:var(--muted);font-size:13px;display:flex;flex-wrap:wrap;gap:14px;align-items:center}
.cpill{background:var(--pill);color:var(--accent);border-radius:10px;padding:0 8px}
.pagination a,.pagination span{display:inline-block;min-width:32px;padding:4px 8px;margin:2px;border:1px solid var(--line);text-align:center}
.pagination .current{background:var(--accent);color:#fff}
.side-box{background:#fff;border:1px solid var(--line);border-radius:6px;padding:12px 16px;margin-bottom:16px}
.hot-list a{display:inline-block;margin:4px 8px 4px 0}
.site-footer{border-top:1px solid var(--line);background:#fff;color:var(--muted);font-size:12px;padding:16px 0}
@media (max-width:760px){.site-main{grid-template-columns:1fr}}
</style>
)";

constexpr std::string_view behaviour_script = R"(<script>
(function () {
  document.addEventListener('DOMContentLoaded', function () {
    var input = document.querySelector('.search-form input');
    if (input) { input.addEventListener('focus', function () { input.select(); }); }
    document.querySelectorAll('.copy-magnet').forEach(function (button) {
      button.addEventListener('click', function () {
        if (navigator.clipboard) { navigator.clipboard.writeText(button.getAttribute('data-link')); }
      });
    });
  });
})();
</script>
)";

// `page_script` comes first in the head so that its values precede any echo of user input.
std::string shell(std::string_view title_html, std::string_view page_script, std::string_view main_html,
                  std::string_view keyword_value_html = {}) {
    std::string out;
    out.reserve(8192 + main_html.size());
    out += "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n";
    out += page_script;
    out += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
    out += title_html;
    out += " - Lunvek 种子搜索</title>\n";
    out += style_block;
    out += behaviour_script;
    out += "</head>\n<body>\n<header class=\"site-header\">\n  <div class=\"inner\">\n";
    out += "    <a class=\"brand\" href=\"/\">Lunvek</a>\n";
    out += "    <nav class=\"nav\">\n      <a href=\"/\">首页</a>\n      <a href=\"/maker/\">关于作者</a>\n";
    out += "      <a href=\"/soft/update.html\">软件下载</a>\n    </nav>\n";
    out += "    <form class=\"search-form\" action=\"/search\" method=\"get\">\n";
    out += "      <input type=\"text\" name=\"keyword\" autocomplete=\"off\" placeholder=\"输入资源名称\" value=\"";
    out += keyword_value_html;
    out += "\">\n      <button type=\"submit\">搜索一下</button>\n    </form>\n  </div>\n</header>\n";
    out += main_html;
    out += "<footer class=\"site-footer\">\n  <div class=\"inner\">\n";
    out += "    <p>本站条目的信息散列值为示例数据，仅用于演示检索。</p>\n";
    out += "    <p><a href=\"/maker/subscribe.html\">订阅更新</a> · <a href=\"/maker/\">联系我们</a>";
    out += " · &copy; 2015 Lunvek</p>\n  </div>\n</footer>\n</body>\n</html>\n";
    return out;
}

constexpr std::string_view plain_script = "<script>var pageInfo = {section:'site'};</script>\n";

void append_highlighted(std::string& out, const std::string& name, const ByteRanges& hits) {
    size_t at = 0;
    for (const auto& [first, last] : hits) {
        out += text_escape(std::string_view(name).substr(at, first - at));
        out += "<span class='highlight'>";
        out += text_escape(std::string_view(name).substr(first, last - first));
        out += "</span>";
        at = last;
    }
    out += text_escape(std::string_view(name).substr(at));
}

void append_side_box(std::string& out) {
    out += "  <aside class=\"side\">\n    <div class=\"side-box\">\n      <h4>使用说明</h4>\n";
    out += "      <p>点击资源名称下方的磁力链接，即可用下载工具打开。</p>\n    </div>\n  </aside>\n";
}

// Quotes need escaping only inside attribute values; element text keeps them readable.
std::string escape(std::string_view text, bool quotes) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += quotes ? "&quot;" : "\"";
                break;
            case '\'':
                out += quotes ? "&#39;" : "'";
                break;
            default:
                out.push_back(c);
        }
    }
    return out;
}

}  // namespace

std::string text_escape(std::string_view text) {
    return escape(text, false);
}

std::string html_escape(std::string_view text) {
    return escape(text, true);
}

std::string echo_escape(std::string_view utf8) {
    const std::string clean = utf8_sanitize(utf8);
    const std::u32string code_points = utf8_decode(clean).value_or(std::u32string{});
    std::string out;
    for (const char32_t c : code_points) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ') {
            out.push_back(static_cast<char>(c));
        } else {
            out += "&#" + std::to_string(static_cast<unsigned long>(c)) + ";";
        }
    }
    return out;
}

std::string percent_encode(std::string_view text) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 3);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        out.push_back('%');
        out.push_back(hex[byte >> 4]);
        out.push_back(hex[byte & 15]);
    }
    return out;
}

int total_pages(size_t matches, int per_page) {
    if (per_page < 1)
        per_page = 1;
    const size_t pages = (matches + static_cast<size_t>(per_page) - 1) / static_cast<size_t>(per_page);
    return static_cast<int>(std::min<size_t>(pages, 1000000));
}

std::string render_home(const std::vector<std::string>& hot_words, const Catalogue& catalogue) {
    std::string main = "<main class=\"site-main\">\n  <section class=\"home\">\n";
    main += "    <div class=\"side-box intro\">\n      <h2>自由分发资源的种子检索</h2>\n";
    main += "      <p>收录 " + std::to_string(catalogue.size()) +
            " 个条目：Linux 发行版镜像、公有领域电影、古典文学与音乐。</p>\n    </div>\n";
    main += "    <div class=\"side-box hot\">\n      <h3>今日热门搜索</h3>\n      <ul class=\"hot-list\">\n";
    for (const std::string& word : hot_words)
        main += "        <li><a class=\"hot-link\" href=\"/search?keyword=" + word + "\">" + html_escape(word) +
                "</a></li>\n";
    main += "      </ul>\n    </div>\n    <div class=\"side-box latest\">\n      <h3>最新收录</h3>\n      <ol>\n";
    const size_t shown = std::min<size_t>(catalogue.size(), 10);
    for (size_t i = 0; i < shown; ++i) {
        const Entry& entry = catalogue.at(catalogue.size() - 1 - i);
        // Numeric references throughout: a torrent's name must never read as one more popular-search link.
        main += "        <li><a href=\"/hash/" + entry.hash + "\">" + echo_escape(entry.name) + "</a> <small>" +
                entry.date + "</small></li>\n";
    }
    main += "      </ol>\n    </div>\n  </section>\n";
    append_side_box(main);
    main += "</main>\n";
    return shell("首页", plain_script, main);
}

std::string render_results(const Catalogue& catalogue, const ResultPage& page) {
    const int pages = total_pages(page.matches.size(), page.per_page);
    std::string script = "<script>var searchInfo = {totalPages:" + std::to_string(pages) +
                         ", currentPage:" + std::to_string(page.page) + ", perPage:" + std::to_string(page.per_page) +
                         "};</script>\n";
    const std::string echo = echo_escape(page.keyword);
    std::string main = "<main class=\"site-main\">\n  <section class=\"search-list\">\n";
    main += "    <div class=\"search-status\">为您找到约 <b>" + std::to_string(page.matches.size()) +
            "</b> 个相关资源，第 " + std::to_string(page.page) + " / " + std::to_string(pages) + " 页</div>\n";
    const size_t first = static_cast<size_t>(page.page - 1) * static_cast<size_t>(page.per_page);
    if (page.page >= 1 && first < page.matches.size()) {
        const size_t last = std::min(page.matches.size(), first + static_cast<size_t>(page.per_page));
        for (size_t i = first; i < last; ++i) {
            const size_t index = page.matches[i];
            const Entry& entry = catalogue.at(index);
            main += "    <div class=\"search-item\">\n      <div class=\"item-title\">\n";
            main += "        <h5 class=\"item-name\" data-hash=\"" + entry.hash + "\">";
            append_highlighted(main, entry.name, catalogue.hits(index, page.words));
            main += "</h5>\n      </div>\n      <div class=\"item-bar\">\n";
            main += "        <span class=\"cpill\">种子</span>\n";
            main += "        <span>创建时间：<span class=\"prop_val\">" + entry.date + "</span></span>\n";
            main += "        <span>文件大小：<span class=\"prop_val\">" + format_size(entry.size) + "</span></span>\n";
            main += "        <span>文件数：<span class=\"prop_val\">" + std::to_string(entry.file_count) +
                    "</span></span>\n";
            main +=
                "        <a class=\"detail-link\" href=\"" + page.base + "/hash/" + entry.hash + "\">磁力链接</a>\n";
            main += "      </div>\n    </div>\n";
        }
    }
    main += "    <nav class=\"pagination\">\n";
    const std::string encoded = percent_encode(page.keyword);
    for (int p = 1; p <= std::min(pages, 50); ++p) {
        if (p == page.page)
            main += "      <span class=\"current\">" + std::to_string(p) + "</span>\n";
        else
            main += "      <a href=\"/search?keyword=" + encoded + "&amp;p=" + std::to_string(p) + "\">" +
                    std::to_string(p) + "</a>\n";
    }
    main += "    </nav>\n  </section>\n";
    append_side_box(main);
    main += "</main>\n";
    return shell(echo + " 的搜索结果", script, main, echo);
}

std::string render_no_results(std::string_view echo) {
    const std::string strict = echo_escape(echo);
    std::string main = "<main class=\"site-main\">\n  <section class=\"search-list\">\n";
    // The tool reads the echo as everything between the two phrases, so nothing else may stand there.
    main += "    <div class=\"no-result\">\n      <h3>很抱歉，没有找到有关" + text_escape(echo) + "的结果</h3>\n";
    main += "      <p>请检查输入的文字是否有误，或换一个更短、更常见的词语试试。</p>\n    </div>\n  </section>\n";
    append_side_box(main);
    main += "</main>\n";
    return shell(strict + " 的搜索结果", plain_script, main, strict);
}

std::string render_detail(const Entry& entry) {
    const std::string magnet = "magnet:?xt=urn:btih:" + entry.hash;
    std::string main = "<main class=\"site-main\">\n  <section class=\"detail\">\n    <div class=\"side-box\">\n";
    main += "      <h2 class=\"detail-name\">" + text_escape(entry.name) + "</h2>\n      <ul class=\"detail-props\">\n";
    main += "        <li>信息散列：<code class=\"info-hash\">" + entry.hash + "</code></li>\n";
    main += "        <li>创建时间：<span class=\"date\">" + entry.date + "</span></li>\n";
    main += "        <li>文件大小：<span class=\"size\">" + format_size(entry.size) +
            "</span>（<span class=\"bytes\">" + std::to_string(entry.size) + "</span> 字节）</li>\n";
    main += "        <li>文件数量：<span class=\"files\">" + std::to_string(entry.file_count) + "</span></li>\n";
    main += "      </ul>\n      <p><a class=\"magnet\" href=\"" + magnet + "\">" + magnet + "</a></p>\n";
    main += "      <button class=\"copy-magnet\" data-link=\"" + magnet + "\">复制磁力链接</button>\n";
    main += "    </div>\n  </section>\n";
    append_side_box(main);
    main += "</main>\n";
    return shell(html_escape(entry.name), plain_script, main);
}

std::string render_update() {
    std::string main = "<main class=\"site-main\">\n  <section>\n    <div class=\"side-box\">\n";
    main += "      <h2>Lunvek 最新版本</h2>\n      <p>新版本修正了搜索页面的解析并提升了稳定性。</p>\n";
    main += "      <p><a class=\"download\" href=\"/soft/version.html\">查看版本日期</a></p>\n";
    main += "    </div>\n  </section>\n";
    append_side_box(main);
    main += "</main>\n";
    return shell("软件更新", plain_script, main);
}

std::string render_maker_home() {
    std::string main = "<main class=\"site-main\">\n  <section>\n    <div class=\"side-box\">\n";
    main += "      <h2>作者主页</h2>\n      <p>这里发布 Lunvek 的更新、使用技巧和自由资源推荐。</p>\n";
    main += "      <p><a href=\"/maker/subscribe.html\">订阅邮件通知</a></p>\n    </div>\n  </section>\n";
    append_side_box(main);
    main += "</main>\n";
    return shell("作者主页", plain_script, main);
}

std::string render_subscribe() {
    std::string main = "<main class=\"site-main\">\n  <section>\n    <div class=\"side-box\">\n";
    main +=
        "      <h2>订阅我的影视栏目</h2>\n      <form class=\"subscribe\" action=\"/maker/subscribe.html\" "
        "method=\"get\">\n";
    main += "        <input type=\"email\" name=\"email\" placeholder=\"你的邮箱地址\">\n";
    main += "        <button type=\"submit\">订阅</button>\n      </form>\n    </div>\n  </section>\n";
    append_side_box(main);
    main += "</main>\n";
    return shell("订阅", plain_script, main);
}

std::string render_not_found() {
    std::string main = "<main class=\"site-main\">\n  <section>\n    <div class=\"side-box\">\n";
    main += "      <h2>404</h2>\n      <p>页面不存在。</p>\n      <p><a href=\"/\">返回首页</a></p>\n";
    main += "    </div>\n  </section>\n</main>\n";
    return shell("页面不存在", plain_script, main);
}

}  // namespace lunvek::site
