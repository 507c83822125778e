#include "platform/machine_actions.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <optional>

#include "../../support/qt_gtest.h"
#include "../../support/test_session.h"

namespace {

// The real opener and power-off, run with stand-in programs (never systemctl): what each
// outcome says. An opener that cannot be started hands on to the next.
TEST(SystemMachineActions, OutcomesSayWhyNothingHappened) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString refuses = dir.filePath("refuses");
    ASSERT_TRUE(orvex::test::writeScript(
        refuses,
        "#!/bin/sh\necho \"opening $1\"\necho \"no method available for opening '$1'\" "
        ">&2\nexit 3\n"));
    const QString missing = dir.filePath("missing");
    const struct {
        QList<QStringList> openers;
        QStringList powerOff;
        const char* failure;  // of both actions
    } cases[] = {
        {{{"true"}}, {"true"}, ""},
        {{{missing}, {"true"}}, {"true"}, ""},
        {{{refuses}}, {refuses}, "no method available for opening '/a b'"},
        {{{"false"}}, {"false"}, "false ended with status 1"},
        {{{missing}, {missing + "2"}}, {missing}, "could not be started"},
    };
    for (const auto& c : cases) {
        platform::SystemMachineActions machine({c.openers, c.powerOff});
        std::optional<QString> opened;
        std::optional<QString> poweredOff;
        machine.openFolder("/a b", [&](const QString& why) { opened = why; });
        machine.powerOff([&](const QString& why) { poweredOff = why; });
        ASSERT_TRUE(orvex::test::waitUntil([&] { return opened && poweredOff; })) << c.failure;
        const QString expected = QString::fromLatin1(c.failure);
        EXPECT_EQ(opened->isEmpty(), expected.isEmpty()) << opened->toStdString();
        EXPECT_TRUE(opened->contains(expected)) << opened->toStdString();
        if (expected.contains("'/a b'")) {
            EXPECT_EQ(*poweredOff, "no method available for opening ''") << "no target given";
        } else {
            EXPECT_TRUE(poweredOff->contains(expected)) << poweredOff->toStdString();
        }
    }
}

}  // namespace
