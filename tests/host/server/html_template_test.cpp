#include "server/html_template.h"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(HtmlTemplate, TextIsEscapedWhereverItGoes) {
    Html page = Template("<p title=\"{{title}}\">{{who}} har {{score}} poäng</p>")
                    .set("title", "\"><script>x</script>")
                    .set("who", "<b>Anna & 'Bo'</b>")
                    .set("score", std::int64_t{-12})
                    .render();
    EXPECT_EQ(page.markup(),
              "<p title=\"&quot;&gt;&lt;script&gt;x&lt;/script&gt;\">&lt;b&gt;Anna &amp; &#39;Bo&#39;&lt;/b&gt; har -12 "
              "poäng</p>");
}

TEST(HtmlTemplate, MarkupFromTemplatesIsNotEscapedAgain) {
    Html rows = joined(std::vector<std::string>{"a<b", "c"},
                       [](const std::string& s) { return Template("<li>{{s}}</li>").set("s", s).render(); });
    Html list = Template("<ul>{{rows}}</ul>").set("rows", rows).render();
    EXPECT_EQ(list.markup(), "<ul><li>a&lt;b</li><li>c</li></ul>");
    EXPECT_EQ((escaped("<") + escaped(">")).markup(), "&lt;&gt;");
}

TEST(HtmlTemplate, SlotsThatDoNotMatchAreFaultsOfTheProgram) {
    EXPECT_THROW(Template("<p>{{a}}</p>").render(), std::logic_error);
    EXPECT_THROW(Template("<p>{{a}}</p>").set("a", "x").set("b", "y").render(), std::logic_error);
    EXPECT_THROW(Template("<p>{{a</p>").set("a", "x").render(), std::logic_error);
    EXPECT_THROW(Template("{{a}}").set("a", "x").set("a", "y"), std::logic_error);
    // A slot may be used twice, and markup may hold single braces.
    EXPECT_EQ(Template("{{a}}{ }{{a}}").set("a", "&").render().markup(), "&amp;{ }&amp;");
}
