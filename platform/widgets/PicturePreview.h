#pragma once
// The preview beside the file list of the picture-open dialog: the picture
// the dialog would open (fitted into the frame when larger, an animated
// GIF animating), with "W x H" under it; "(None)" when no file is chosen
// or the file holds no picture the program reads.  Pictures are read
// through the platform's picture holder, so every registered format shows.

#include <QFrame>

#include <memory>
#include <string>

class QLabel;
class TPicture;

class TPicturePreview : public QFrame {
public:
    explicit TPicturePreview(QWidget* parent);
    ~TPicturePreview() override;

    // Shows the file's picture (a file name in the file system's encoding;
    // empty for none).
    void ShowFile(const std::string& fileName);
    // What the line under the picture says.
    QString Caption() const;
    // Where the picture is drawn, in the preview's coordinates (empty for
    // none).
    QRect PictureRect() const;

private:
    class TPictureArea;
    TPictureArea* area_;
    QLabel* caption_;
};
