#include "tools/sample_service/pages.h"

#include "tools/sample_service/text_codec.h"

#include <array>
#include <string>

namespace sample_service {
namespace {

// Shared by every page: code page 936, the CJK font stack, and the load beacon
// that the benchmark times a click against.
constexpr std::string_view kPageStart = R"(<!DOCTYPE html>
<html><head><meta charset="gbk"><meta http-equiv="Content-Type" content="text/html; charset=gbk">
<style>
body{margin:0;background:#fff;color:#333;font:12px "WenQuanYi Zen Hei","AR PL UMing CN",sans-serif}
a{color:#2b55a3}
</style>
<script>
function reportLoad(page){new Image().src='/beacon?event=onload&page='+page+'&t='+Date.now();}
</script>
)";

constexpr std::string_view kResultsStyle = R"(<style>
#results{margin-left:8px;border-left:1px solid #d4d4d4;min-height:100vh}
.bar{height:30px;line-height:30px;padding-left:27px;color:#888}
.bar b{color:#b00}
.colhead{position:relative;height:22px;line-height:22px;background:#efefef;color:#8a8a8a;border-top:1px solid #dcdcdc;border-bottom:1px solid #dcdcdc}
.colhead span{position:absolute}
.item{border-bottom:1px dotted #bdbdbd}
.row{position:relative;height:28px;line-height:28px;white-space:nowrap}
.exp{position:absolute;left:27px;top:8px;width:9px;height:9px;border:1px solid #8c8c8c;background:#fff;color:#444;font:bold 9px/9px Arial,sans-serif;text-align:center;text-decoration:none;cursor:pointer}
.eye{position:absolute;left:45px;top:9px}
.title{position:absolute;left:67px;text-decoration:none}
.title .name{color:#900;text-decoration:underline}
.title .tag{color:#888;text-decoration:underline;margin-left:4px}
.src{position:absolute;left:460px;color:#999}
.date{position:absolute;left:560px;color:#999}
.plays{display:none;padding:0 0 6px 27px}
.plays .label{height:24px;line-height:24px;color:#333}
.grid{display:grid;grid-template-columns:repeat(10,34px);column-gap:6px;row-gap:4px}
.grid a{display:block;height:18px;line-height:18px;border:1px solid #c6c6c6;background:#fafafa;text-align:center;color:#2b55a3;text-decoration:underline}
</style>
<script>
function toggle(row){
  var plays=document.getElementById('p'+row),sign=document.getElementById('x'+row);
  var open=plays.style.display!='block';
  plays.style.display=open?'block':'none';
  sign.innerHTML=open?'&minus;':'+';
}
</script>
)";

constexpr std::string_view kEyeIcon =
    R"(<svg class="eye" width="16" height="10" viewBox="0 0 16 10">)"
    R"(<path d="M0.5 5Q8 -2.5 15.5 5Q8 12.5 0.5 5Z" fill="#dce9fb" stroke="#2f6fd6"/>)"
    R"(<circle cx="8" cy="5" r="2.4" fill="#2f6fd6"/></svg>)";

struct TitlePattern {
    std::string_view before;
    std::string_view after;
    std::string_view tag;
};

constexpr std::array<TitlePattern, kNormalResultCount> kTitlePatterns{{
    {"", "", "(2010)"},
    {"", "之风云再起", "[国语]"},
    {"", " 导演剪辑版", "[DVD]"},
    {"新", "", "(1998)"},
    {"", " 第二部", "[第2部]"},
    {"", "前传", "[RMVB]"},
    {"", " 粤语版", "(2003)"},
    {"", "外传", "[高清]"},
    {"", " 特别篇", "[TV版]"},
    {"重返", "", "(2008)"},
    {"", " 完整版", "[上下集]"},
    {"", "番外篇", "[BD]"},
}};

constexpr std::array<std::string_view, 4> kSourceSites{"片源网", "影音堂", "看片吧", "视界站"};

// Each row of the grid is the first ten episodes of a block of 25.
constexpr int kEpisodeBlocks = 4;
constexpr int kEpisodesPerBlock = 25;
constexpr int kLinksPerGridRow = 10;

std::string play_address(const FilmName& film, long long row, int episode) {
    return "/play.asp?id=" + std::to_string(row) + "&amp;ep=" + std::to_string(episode) +
           "&amp;k=" + film.query_value;
}

std::string film_title(const FilmName& film, const TitlePattern& pattern) {
    return html_escape(std::string(pattern.before) + film.text + std::string(pattern.after));
}

std::string episode_grid(const FilmName& film, long long row) {
    std::string grid = R"(<div class="grid">)";
    for (int block = 0; block < kEpisodeBlocks; ++block) {
        for (int column = 0; column < kLinksPerGridRow; ++column) {
            const int episode = block * kEpisodesPerBlock + column + 1;
            // The last column opens a new window, so both kinds of navigation are covered.
            const bool new_window = column == kLinksPerGridRow - 1;
            grid += R"(<a href=")" + play_address(film, row, episode) + '"' +
                    (new_window ? R"( target="_blank")" : "") + '>' + std::to_string(episode) +
                    "</a>";
        }
    }
    return grid + "</div>";
}

std::string two_digits(long long value) {
    return (value < 10 ? "0" : "") + std::to_string(value);
}

}  // namespace

std::string results_page_head(const FilmName& film, std::string_view page_kind,
                              long long result_count) {
    const std::string name = html_escape(film.text);
    return std::string(kPageStart) + std::string(kResultsStyle) + "<title>" + name +
           " - 影视搜索结果</title></head>\n<body onload=\"reportLoad('" + std::string(page_kind) +
           "')\"><div id=\"results\">\n<div class=\"bar\">找到 " + std::to_string(result_count) +
           " 个与 <b>" + name + "</b> 相关的影视资源</div>\n" +
           R"(<div class="colhead"><span style="left:67px">影片名称</span>)"
           R"(<span style="left:460px">来源</span><span style="left:560px">更新时间</span></div>)" +
           "\n";
}

std::string result_block(const FilmName& film, long long row_number) {
    const TitlePattern& pattern = kTitlePatterns[(row_number - 1) % kTitlePatterns.size()];
    const std::string row = std::to_string(row_number);
    return R"(<div class="item"><div class="row"><a class="exp" id="x)" + row +
           R"(" href="#" onclick="toggle()" + row + R"();return false">+</a>)" +
           std::string(kEyeIcon) + R"(<a class="title" href=")" +
           play_address(film, row_number, 1) + R"("><span class="name">)" +
           film_title(film, pattern) + R"(</span><span class="tag">)" + std::string(pattern.tag) +
           "</span></a><span class=\"src\">" +
           std::string(kSourceSites[row_number % kSourceSites.size()]) +
           "</span><span class=\"date\">2011-" + two_digits(row_number % 12 + 1) + "-" +
           two_digits(row_number % 28 + 1) + "</span></div>\n<div class=\"plays\" id=\"p" + row +
           "\"><div class=\"label\">播放地址：</div>" + episode_grid(film, row_number) +
           "</div></div>\n";
}

std::string results_page_tail() {
    return "</div></body></html>\n";
}

std::string results_page(const FilmName& film) {
    std::string page = results_page_head(film, "results", kNormalResultCount);
    for (int row = 1; row <= kNormalResultCount; ++row) page += result_block(film, row);
    return page + results_page_tail();
}

std::string play_page(const FilmName& film, std::string_view row, std::string_view episode) {
    const std::string name = html_escape(film.text);
    const std::string episode_text = html_escape(episode);
    return std::string(kPageStart) + "<title>" + name + " 第" + episode_text +
           "集 - 在线播放</title>\n<style>\n"
           ".player{width:480px;height:300px;margin:12px 0 0 "
           "20px;background:#111;position:relative}"
           ".player .play{position:absolute;left:215px;top:120px;width:0;height:0;"
           "border-style:solid;border-width:30px 0 30px 50px;border-color:transparent transparent "
           "transparent #ddd}"
           ".player .bar{position:absolute;left:10px;right:10px;bottom:12px;height:6px;"
           "background:#444}.player .bar i{display:block;width:18%;height:6px;background:#3a8ee6}"
           ".info{margin:10px 20px;color:#555}</style></head>\n"
           "<body onload=\"reportLoad('play')\">\n<div class=\"info\">正在播放：<b>" +
           name + "</b> 第" + episode_text + "集 （资源 " + html_escape(row) +
           "）</div>\n<div class=\"player\" id=\"player\"><div class=\"play\"></div>"
           "<div class=\"bar\"><i></i></div></div>\n"
           "<div class=\"info\"><a href=\"/so.asp?k=" +
           film.query_value + "\">返回搜索结果</a></div>\n</body></html>\n";
}

std::string popups_page(const FilmName& film, int window_count) {
    const std::string count = std::to_string(window_count);
    return std::string(kPageStart) + "<title>" + html_escape(film.text) +
           "</title>\n<script>\nfunction openPopups(){\n  for(var i=1;i<=" + count +
           ";i++){window.open('/play.asp?id='+i+'&ep=1&k=" + film.query_value +
           "','popup'+i,'width=320,height=240,left='+(i*12)+',top='+(i*9));}\n}\n</script>"
           "</head>\n<body onload=\"reportLoad('popups');openPopups()\">\n"
           "<p style=\"margin:20px\">本页面会弹出 " +
           count +
           " 个窗口。 <a href=\"#\" onclick=\"openPopups();return false\">再次弹出</a></p>\n"
           "</body></html>\n";
}

std::string home_page() {
    return std::string(kPageStart) +
           "<title>影视搜索</title></head>\n<body onload=\"reportLoad('home')\">\n"
           "<form action=\"/so.asp\" method=\"get\" style=\"margin:20px\">影片名称："
           "<input name=\"k\" size=\"30\"> <input type=\"submit\" value=\"搜索\"></form>\n"
           "</body></html>\n";
}

std::string not_found_page(std::string_view target) {
    return std::string(kPageStart) + "<title>404 - 找不到页面</title></head>\n" +
           "<body onload=\"reportLoad('not-found')\">\n<p style=\"margin:20px\">找不到页面：" +
           html_escape(target) + "</p>\n</body></html>\n";
}

}  // namespace sample_service
