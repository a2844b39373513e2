#include "cli/commandline.h"

#include <gtest/gtest.h>

#include <array>

using namespace pavelora;
using namespace pavelora::cli;

namespace {

CommandLine parse(const char* arguments) {
    QStringList list{QStringLiteral("pavelora")};
    const QString text = QString::fromUtf8(arguments);
    if (!text.isEmpty()) {
        list += text.split(QLatin1Char(' '));
    }
    return parseCommandLine(list);
}

} // namespace

TEST(CommandLine, ChoosesTheActionAndRefusesWhatItDoesNotKnow) {
    struct Case {
        const char* arguments;
        Action action;
        const char* document;
    };
    const Case cases[] = {
        {"", Action::StartEditor, ""},
        {"tiling.PVD", Action::StartEditor, "tiling.PVD"},
        {"notes.txt tiling.pvd", Action::StartEditor, ""}, // only the first argument counts
        {"-platform offscreen -style=fusion a.pvd", Action::StartEditor, "a.pvd"}, // Qt's own
        {"--help", Action::ShowHelp, ""},
        {"--version", Action::ShowVersion, ""},
        {"--frobnicate x.pvd", Action::Refuse, ""},
        {"-x", Action::Refuse, ""},
        {"--density 300 a.pvd", Action::Refuse, ""},
        {"--export-jpeg a.pvd", Action::Refuse, ""},
        {"--export-jpeg a.pvd b.jpg c", Action::Refuse, ""},
        {"--export-jpeg a.pvd b.jpg --quality 0", Action::Refuse, ""},
        {"--export-jpeg a.pvd b.jpg --density 65536", Action::Refuse, ""},
        {"--export-jpeg a.pvd b.jpg --form 4", Action::Refuse, ""},
        {"--export-jpeg a.pvd b.jpg --form two", Action::Refuse, ""},
        {"--export-jpeg a.pvd b.jpg", Action::ExportJpeg, "a.pvd"},
    };
    for (const Case& c : cases) {
        const CommandLine line = parse(c.arguments);
        EXPECT_EQ(line.action, c.action) << c.arguments;
        if (c.action == Action::Refuse) {
            EXPECT_FALSE(line.problem.isEmpty()) << c.arguments;
        } else {
            EXPECT_EQ(line.document, QString::fromUtf8(c.document)) << c.arguments;
        }
    }
}

TEST(CommandLine, ExportSettingsDefaultAndTakeTheirValues) {
    const CommandLine plain = parse("--export-jpeg a.pvd b.jpg");
    EXPECT_EQ(plain.output, QStringLiteral("b.jpg"));
    EXPECT_EQ((std::array{plain.jpeg.density, plain.jpeg.quality, plain.jpeg.form}),
              (std::array{200, 100, 1}));
    const CommandLine set = parse("--form 3 --export-jpeg a.pvd b.jpg --density 72 --quality 1");
    EXPECT_EQ(set.action, Action::ExportJpeg);
    EXPECT_EQ((std::array{set.jpeg.density, set.jpeg.quality, set.jpeg.form}),
              (std::array{72, 1, 3}));
}

// --export takes the format from the output's extension in any letter case and refuses any
// other; "cut" is a form of --export only.
TEST(CommandLine, ExportChoosesTheFormatByTheExtension) {
    struct Case {
        const char* arguments;
        Action action;
        ExportFormat format;
        std::int32_t form;
    };
    const Case cases[] = {
        {"--export a.pvd b.svg", Action::Export, ExportFormat::Svg, 1},
        {"--export a.pvd b.PDF --form cut", Action::Export, ExportFormat::Pdf, outputform::Cut},
        {"--export a.pvd dir.x/b.Png --form 2", Action::Export, ExportFormat::Png, 2},
        {"--export a.pvd b.jpg --form 3", Action::Export, ExportFormat::Jpeg, 3},
        {"--export a.pvd b.gif", Action::Refuse, ExportFormat::Jpeg, 1},
        {"--export a.pvd svg", Action::Refuse, ExportFormat::Jpeg, 1},
        {"--export a.pvd b.svg --form 5", Action::Refuse, ExportFormat::Jpeg, 1},
        {"--export-jpeg a.pvd b.jpg --form cut", Action::Refuse, ExportFormat::Jpeg, 1},
        {"--export --export-jpeg a.pvd b.jpg", Action::Refuse, ExportFormat::Jpeg, 1},
        {"--export-jpeg a.pvd b.png", Action::ExportJpeg, ExportFormat::Jpeg, 1},
    };
    for (const Case& c : cases) {
        const CommandLine line = parse(c.arguments);
        EXPECT_EQ(line.action, c.action) << c.arguments;
        if (c.action != Action::Refuse) {
            EXPECT_EQ(line.format, c.format) << c.arguments;
            EXPECT_EQ(line.jpeg.form, c.form) << c.arguments;
        }
    }
}
