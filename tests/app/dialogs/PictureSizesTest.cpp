// Pictures chosen in the image dialogs: a GIF written by giflib, PNG, JPEG
// and BMP files written by Qt, each read back through the program's
// picture formats for its height and width, and a Windows metafile for the
// size of the window it maps; a picture larger than the
// fields' usual limit keeps its size; a damaged file says why and leaves
// the fields and the dialog as they were.

#include "tests/app/dialogs/DialogTestSupport.h"
#include "tests/app/dialogs/EditorProbe.h"

#include "app/EditForm.h"
#include "app/dialogs/PictureDialogs.h"
#include "platform/shellns/FileNames.h"
#include "platform/ui/SpinEdit.h"
#include "platform/ui/TextControls.h"
#include "tests/platform/gfx/TestMetafiles.h"

#include <gif_lib.h>

#include <QImage>

#include <filesystem>

namespace {

// A GIF of two colours, width by height, written by giflib.
void writeGif(const std::string& path, int width, int height) {
    int error = 0;
    GifFileType* file = EGifOpenFileName(path.c_str(), false, &error);
    ASSERT_NE(file, nullptr);
    GifColorType colors[2] = {{0, 0, 0}, {255, 255, 255}};
    ColorMapObject* map = GifMakeMapObject(2, colors);
    ASSERT_EQ(EGifPutScreenDesc(file, width, height, 1, 0, map), GIF_OK);
    ASSERT_EQ(EGifPutImageDesc(file, 0, 0, width, height, false, nullptr), GIF_OK);
    std::vector<GifPixelType> line(static_cast<size_t>(width));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            line[static_cast<size_t>(x)] = static_cast<GifPixelType>((x + y) % 2);
        ASSERT_EQ(EGifPutLine(file, line.data(), width), GIF_OK);
    }
    EGifCloseFile(file, &error);
    GifFreeMapObject(map);
}

void writeQtPicture(const std::string& path, int width, int height, const char* format) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    ASSERT_TRUE(image.save(QString::fromStdString(path), format));
}

class PictureSizes : public TDialogTest {
protected:
    // Browses in the dialog of handler for file; drive then looks at the
    // dialog.
    void Browse(const std::string& handler, const std::string& file,
                const std::function<void(TPictureDialog&)>& check) {
        ASSERT_TRUE(RunCommand(handler, [&](TCustomForm& form) {
            auto& dialog = dynamic_cast<TPictureDialog&>(form);
            SetControls(dialog, {{"SpinEdit1", "12"}, {"SpinEdit2", "34"}});
            user.AnswerFiles({file});
            SetControl(dialog, "SpeedButton1", "click");
            check(dialog);
            PressOk(dialog);
        }));
    }
};

TEST_F(PictureSizes, EachFormatGivesItsHeightAndWidthAndALargePictureKeepsItsSize) {
    TEditForm* document = SavedDocument("site/index.html");
    const std::string pictures = program.File("site/pics");
    std::filesystem::create_directories(pictures);
    writeGif(pictures + "/dots.gif", 37, 21);
    writeQtPicture(pictures + "/wide.png", 1200, 800, "PNG");
    writeQtPicture(pictures + "/photo.jpg", 64, 48, "JPEG");
    writeQtPicture(pictures + "/icon.bmp", 5, 9, "BMP");
    struct TCase {
        const char* Handler;
        const char* File;
        int Width;
        int Height;
    };
    for (const TCase& test : {TCase{"imagebuttonClick", "dots.gif", 37, 21}, TCase{"imagebuttonClick", "wide.png", 1200, 800},
                              TCase{"FormpicbuttonClick", "photo.jpg", 64, 48},
                              TCase{"imagebuttonClick", "icon.bmp", 5, 9}}) {
        SCOPED_TRACE(test.File);
        SetEditorText(*document, "", 0, 0);
        Browse(test.Handler, pictures + "/" + test.File, [&](TPictureDialog& dialog) {
            EXPECT_EQ(dialog.Edit1->Text(), std::string("pics/") + test.File);
            EXPECT_EQ(dialog.SpinEdit1->Value(), test.Height);
            EXPECT_EQ(dialog.SpinEdit2->Value(), test.Width);
        });
        const std::string size =
            "HEIGHT=\"" + std::to_string(test.Height) + "\" WIDTH=\"" + std::to_string(test.Width) + "\"";
        EXPECT_NE(EditorText(*document).find(size), std::string::npos) << EditorText(*document);
        EXPECT_TRUE(user.Exceptions().empty());
    }
}

// A Windows metafile without a placeable header that maps its window
// (anisotropic, 324 x 252 units) is that window's size, a unit to the
// pixel, whatever it draws beyond the window.
TEST_F(PictureSizes, AMetafileWithoutHeaderGivesTheSizeOfTheWindowItMaps) {
    SavedDocument("site/index.html");
    const std::string file = program.File("site/chart.wmf");
    const std::vector<TTestShape> shapes = {{10, 10, 300, 240, 0x3366CC, false}, {-900, 400, 1200, 1100, 0x993300, true}};
    TTestProgramFolder::WriteFileBytes(file, WindowsMetafileOf(324, 252, shapes, false, true, 0, 0, 1, true));
    Browse("imagebuttonClick", file, [&](TPictureDialog& dialog) {
        EXPECT_EQ(dialog.SpinEdit1->Value(), 252);
        EXPECT_EQ(dialog.SpinEdit2->Value(), 324);
    });
    EXPECT_TRUE(user.Exceptions().empty());
}

TEST_F(PictureSizes, AFileThatIsNoPictureSaysWhyAndChangesNoSize) {
    TEditForm* document = SavedDocument("site/index.html");
    SetEditorText(*document, "", 0, 0);
    const std::string broken = program.File("site/broken.gif");
    TTestProgramFolder::WriteFileBytes(broken, std::string("GIF89a\x10\x00\x10\x00\xF0\x00", 12));
    const std::string notPicture = program.File("site/notes.png");
    TTestProgramFolder::WriteFileBytes(notPicture, "just some text");
    for (const std::string& file : {broken, notPicture}) {
        SCOPED_TRACE(file);
        const size_t callsBefore = user.Calls.size();
        user.AnswerMessage(mrOk);
        Browse("imagebuttonClick", file, [&](TPictureDialog& dialog) {
            EXPECT_TRUE(dialog.Modal()) << "the dialog stays open";
            EXPECT_EQ(dialog.Edit1->Text(), FileNameOf(file)) << "the path is taken";
            EXPECT_EQ(dialog.SpinEdit1->Value(), 12);
            EXPECT_EQ(dialog.SpinEdit2->Value(), 34);
        });
        ASSERT_GT(user.Calls.size(), callsBefore);
        const auto& told = user.Calls.back();
        EXPECT_EQ(told.Kind, TScriptedUserInteraction::kMessage);
        EXPECT_EQ(told.Type, mtError);
        EXPECT_NE(told.Text.find(FileNameOf(file)), std::string::npos) << told.Text;
    }
    // OK still writes what the fields held.
    const std::string text = EditorText(*document);
    const std::string kept = "HEIGHT=\"12\" WIDTH=\"34\"";
    const size_t first = text.find(kept);
    ASSERT_NE(first, std::string::npos) << text;
    EXPECT_NE(text.find(kept, first + 1), std::string::npos) << text;
}

} // namespace
