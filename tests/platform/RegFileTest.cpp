#include "platform/RegFile.h"

#include <algorithm>
#include <gtest/gtest.h>

using platform::FormatRegFile;
using platform::ParseRegFile;

namespace {

// count bytes of a repeating pattern that takes every byte value.
std::string PatternBytes(std::size_t count) {
    std::string bytes;
    for (std::size_t i = 0; i < count; ++i)
        bytes += char((i * 7 + 3) & 0xFF);
    return bytes;
}

// Parses text, failing the test when it is not a valid hive.
std::unique_ptr<CRegKey> Parse(const std::string& text) {
    auto root = std::make_unique<CRegKey>();
    const auto error = ParseRegFile(text, *root);
    EXPECT_FALSE(error) << "line " << error->line << ": " << error->reason;
    return root;
}

std::optional<platform::RegParseError> ParseError(const std::string& text) {
    CRegKey root;
    return ParseRegFile(text, root);
}

} // namespace

TEST(RegFile, WritesRegedit4Notation) {
    CRegKey root;
    CRegKey& key = root.CreateSubkey("Software").CreateSubkey("Brenholt");
    key.SetValue("", {REG_SZ, "C:\\path \"quoted\""});
    key.SetValue("Count", {REG_DWORD, platform::DwordToBytes(42)});
    key.SetValue("Lines", {REG_SZ, std::string("a\nb\r\tc\x01\x7f", 8)});
    // 25 bytes to a line: a further line is announced by ",\" at the end of the last.
    key.SetValue("Long", {REG_BINARY, PatternBytes(26)});
    key.SetValue("None", {REG_BINARY, ""});
    key.SetValue("Type2", {2, "ab"});
    root.CreateSubkey("Empty");

    EXPECT_EQ(*FormatRegFile(root),
              "REGEDIT4\n; This file ends with the line \"; end\".\n\n[Empty]\n\n[Software]\n\n"
              "[Software\\Brenholt]\n@=\"C:\\\\path \\\"quoted\\\"\"\n\"Count\"=dword:0000002a\n"
              "\"Lines\"=\"a\\nb\\r\\tc\\x01\\x7f\"\n\"Long\"=hex:03,0a,11,18,1f,26,2d,34,3b,42,"
              "49,50,57,5e,65,6c,73,7a,81,88,8f,96,9d,a4,ab,\\\n  b2\n\"None\"=hex:\n"
              "\"Type2\"=hex(2):61,62\n\n; end\n");
}

TEST(RegFile, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int c = 0; c < 256; ++c)
        all += char(c);
    CRegKey root;
    CRegKey& key = root.CreateSubkey("Odd ] = \" [name]");
    key.SetValue(all, {REG_SZ, all + all});
    key.SetValue("@", {REG_SZ, "not the default"});
    key.SetValue("x\"=\"y\\", {REG_DWORD, platform::DwordToBytes(0xFFFFFFFF)});
    root.SetValue("at the root", {REG_BINARY, all});
    key.SetValue("\xc3\xa4", {REG_SZ, "small"}); // case is folded for ASCII letters only
    key.SetValue("\xc3\x84", {REG_SZ, "capital"});
    // Formatting is one to one, so the copy formats alike only when it was read whole.
    const auto copy = Parse(*FormatRegFile(root));
    EXPECT_EQ(*FormatRegFile(*copy), *FormatRegFile(root));
    const CRegKey* read = copy->FindSubkey("odd ] = \" [NAME]");
    ASSERT_TRUE(read);
    EXPECT_EQ(read->Name(), "Odd ] = \" [name]");
    EXPECT_EQ(read->FindValue(all)->data, all + all);
    EXPECT_TRUE(read->FindValue("@") && !read->FindValue("") && read->FindValue("X\"=\"Y\\"));
    EXPECT_EQ(read->FindValue("\xc3\xa4")->data + read->FindValue("\xc3\x84")->data,
              "smallcapital");
}

TEST(RegFile, ReadsHandWrittenForms) {
    const auto root = Parse("\xEF\xBB\xBFREGEDIT4\r\n\r\n; a comment\n# another\n"
                            "  [Software\\\\Brenholt\\]  \n  \"Short\" = dword:2A\n\"Empty\"=hex:\n"
                            "\"Spaced\"=hex: 01 , 0A ,\\\r\n\t  ff,\n@=\"first\"\n@=\"last wins\"\n"
                            "[software\\BRENHOLT]\n\"Merged\"=\"yes\"\n;   end  \r\n; end\r\n");
    const CRegKey* key = root->FindSubkey("Software")->FindSubkey("Brenholt");
    ASSERT_TRUE(key);
    EXPECT_EQ(key->FindValue("short")->data, platform::DwordToBytes(42));
    EXPECT_EQ(*key->FindValue("Empty"), (RegValue{REG_BINARY, ""}));
    EXPECT_EQ(key->FindValue("Spaced")->data, "\x01\x0a\xff");
    EXPECT_EQ(key->FindValue("")->data, "last wins");
    EXPECT_EQ(key->FindValue("Merged")->data, "yes");
    EXPECT_EQ(root->Subkeys().size(), 1u);
    // Files without the end-line promise (older or written by hand) need no end line.
    EXPECT_TRUE(Parse("\n\nREGEDIT4")->Subkeys().empty());
}

// A hive cut anywhere, at a line's end included, is refused; what was read keeps only values
// read whole, never one cut short.
TEST(RegFile, TextCutShortIsDamagedAndKeepsOnlyWholeValues) {
    CRegKey whole;
    CRegKey& key = whole.CreateSubkey("Software").CreateSubkey("K");
    key.SetValue("Text", {REG_SZ, "a longer text"});
    key.SetValue("Count", {REG_DWORD, platform::DwordToBytes(0x12345678)});
    key.SetValue("State", {REG_BINARY, PatternBytes(60)});
    whole.CreateSubkey("Z").SetValue("last", {REG_SZ, "z"});
    const std::string text = *FormatRegFile(whole);
    for (std::size_t cut = 0; cut < text.size(); ++cut) {
        SCOPED_TRACE(cut);
        CRegKey read;
        ASSERT_TRUE(ParseRegFile(text.substr(0, cut), read));
        const CRegKey* software = read.FindSubkey("Software");
        const CRegKey* k = software ? software->FindSubkey("K") : nullptr;
        if (!k)
            continue;
        for (const auto& [name, value] : k->Values())
            EXPECT_EQ(*value, *key.FindValue(*name)) << *name;
    }
}

TEST(RegFile, RejectsDamagedTextNamingTheLineAndKeepsToDepthAndSizeBounds) {
    using namespace std::string_literals;
    // Each text is damaged on the line given.
    const std::pair<std::size_t, std::vector<std::string>> cases[] = {
        {1, {"garbage", "", "REGEDIT5\n[K]\n"}},
        {2,
         {"REGEDIT4\n\"v\"=\"before any section\"\n", "REGEDIT4\n[K\n", "REGEDIT4\n[K] trailing\n",
          "REGEDIT4\n[K\\bad\x01name]\n", "REGEDIT4\n[" + std::string(256, 'k') + "]\n"}},
        {3,
         {"REGEDIT4\n[K]\nloose words\n", "REGEDIT4\n[K]\n\"v\" \"no equals\"\n",
          "REGEDIT4\n[K]\n\"unterminated=\"x\"\n"}},
        {5, {"REGEDIT4\n; This file ends with the line \"; end\".\n[K]\n\"v\"=\"x\"\n"}}};
    for (const auto& [line, texts] : cases)
        for (const std::string& text : texts)
            EXPECT_EQ(ParseError(text).value_or(platform::RegParseError{}).line, line) << text;
    // Damage in the value of line 4 (the last two run on to line 5).
    const std::string value = "REGEDIT4\n\n[K]\n\"v\"=";
    std::size_t line = 4;
    for (const std::string& bad :
         {"\"unterminated\n\"w\"=\"x\"\n"s, "\"odd \\q escape\"\n"s, "\"short \\x4\"\n"s,
          "\"ends in \\"s, "\"x\" junk\n"s, "dword:123456789\n"s, "dword:\n"s, "dword:-1\n"s,
          "hex:1g\n"s, "hex:123\n"s, "hex:01,,02\n"s, "hex(zz):01\n"s, "hex(2:01\n"s, "str:abc\n"s,
          std::string(4u << 20, 'x') + "\n", "\"" + std::string(4u << 20, 'x') + "\n",
          "hex:01,02,\\\n  03,\\\n"s, "\"a\0b\"\n\0"s}) {
        line += bad.starts_with("hex:01,02,");
        const auto error = ParseError(value + bad);
        ASSERT_TRUE(error) << bad.substr(0, 60);
        EXPECT_EQ(error->line, line) << bad.substr(0, 60);
        EXPECT_FALSE(error->reason.empty());
    }
    // A chain as deep as allowed is read, written and read back; one more is refused.
    std::string path;
    for (std::size_t i = 0; i < platform::kMaxKeyDepth; ++i)
        path += "\\k";
    const auto text = FormatRegFile(*Parse("REGEDIT4\n[" + path + "]\n\"bottom\"=\"here\"\n"));
    EXPECT_EQ(FormatRegFile(*Parse(text.value_or(""))), text);
    EXPECT_TRUE(ParseError("REGEDIT4\n[" + path + "\\k]\n; end\n"));

    // Keys plus values are bounded, and the writer keeps the same bound as the reader.
    CRegKey wide;
    CRegKey& parent = wide.CreateSubkey("p");
    for (std::size_t i = 1; i < platform::kMaxRegEntries; ++i)
        parent.SetValue(std::to_string(i), {REG_SZ, ""});
    const std::string full = FormatRegFile(wide).value_or("");
    EXPECT_FALSE(ParseError(full));
    EXPECT_TRUE(ParseError(full.substr(0, full.rfind("; end")) + "\"one more\"=\"\"\n; end\n"));
    parent.SetValue("one more", {REG_SZ, ""});
    EXPECT_FALSE(FormatRegFile(wide));

    CRegKey big;
    big.SetValue("blob", {REG_BINARY, std::string(platform::kMaxRegFileBytes / 3 + 1, 'x')});
    EXPECT_FALSE(FormatRegFile(big));
}
