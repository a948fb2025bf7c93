// The service reply: fields, quotes, Shift-JIS, keys and the seven-field rule.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launcher/update/QuotedFields.h"
#include "launcher/update/ServiceReply.h"

namespace {

using Fields = std::vector<std::string>;

const char kSevenFields[] =
    "RET=0&DLVER=1.2.0&DLURL=https://h/p/Launcher.msi&UMVER=2.0.0.1&UMURL=https://h/p/Um.msi&MEVER=&MEURL=";

}  // namespace

TEST(ServiceReply, FieldsSplitOutsideQuotesAndDoubleByteCharacters) {
    EXPECT_EQ(Fields({""}), update::SplitQuoted("", '&'));
    EXPECT_EQ(Fields({"a", "", "b", ""}), update::SplitQuoted("a&&b&", '&'));
    EXPECT_EQ(Fields({"K=a&b", "K=say \"hi\"", ""}), update::SplitQuoted("\"K=a&b\"&\"K=say \"\"hi\"\"\"&\"\"", '&'));
    // 表 and ソ end in 0x5C; a lead byte takes the byte after it, even a separator.
    EXPECT_EQ(Fields({"K=表示", "L=ソフト"}), update::SplitQuoted("K=表示&L=ソフト", '&'));
    EXPECT_EQ(1u, update::SplitQuoted("A=\x81&B=1", '&').size());

    EXPECT_EQ(0, update::FindReplyKey("RET=0"));
    EXPECT_EQ(8, update::FindReplyKey("VMURL=x"));
    EXPECT_EQ(1, update::FindReplyKey("DLVERSION=3"));  // the key only has to start the field
    EXPECT_EQ(-1, update::FindReplyKey("ret=0"));
    EXPECT_EQ(-1, update::FindReplyKey(" RET=0"));
}

TEST(ServiceReply, SevenFieldsAreStoredInAnyOrder) {
    update::ServiceReply reply;
    ASSERT_TRUE(update::ParseServiceReply(kSevenFields, &reply));
    EXPECT_EQ(0, reply.result);
    EXPECT_EQ("1.2.0", reply.components[0].version);
    EXPECT_EQ("https://h/p/Launcher.msi", reply.components[0].url);
    EXPECT_EQ("https://h/p/Um.msi", reply.components[1].url);

    update::ServiceReply quoted;
    ASSERT_TRUE(update::ParseServiceReply("\"DLURL=https://h/get?a=1&b=\"\"2\"\"\"&RET=1234&VMVER=1.0"
                                          "&VMURL=https://h/表示/ソフト.msi&MEVER=\"3.0.0\"&MEURL&UMVER=バージョン",
                                          &quoted));
    EXPECT_EQ(1234, quoted.result);
    EXPECT_EQ("https://h/get?a=1&b=\"2\"", quoted.components[0].url);
    EXPECT_EQ("バージョン", quoted.components[1].version);
    EXPECT_EQ("3.0.0", quoted.components[2].version);
    EXPECT_EQ("MEURL", quoted.components[2].url);  // no "=": the whole field
    EXPECT_EQ("https://h/表示/ソフト.msi", quoted.components[3].url);
}

TEST(ServiceReply, OtherShapesAreRejected) {
    update::ServiceReply nine;
    EXPECT_FALSE(update::ParseServiceReply(std::string(kSevenFields) + "&VMVER=1.0&VMURL=u", &nine));
    EXPECT_EQ("", nine.components[0].version);

    update::ServiceReply alone;
    EXPECT_FALSE(update::ParseServiceReply("RET=5", &alone));
    EXPECT_EQ(5, alone.result);
    EXPECT_TRUE(alone.resultAnswered);

    update::ServiceReply other;
    EXPECT_FALSE(update::ParseServiceReply("<html>Service Unavailable</html>", &other));
    EXPECT_FALSE(other.resultAnswered);

    // An unknown key ends the parsing; the fields before it stay.
    update::ServiceReply unknown;
    EXPECT_FALSE(update::ParseServiceReply("RET=0&DLVER=1.2.0&DLURL=u&XXVER=1&UMURL=v&MEVER=&MEURL=", &unknown));
    EXPECT_EQ("u", unknown.components[0].url);
    EXPECT_EQ("", unknown.components[1].url);
}
