#pragma once

#include "tags/tageditorcalls.h"

#include <QObject>
#include <QString>

#include <array>
#include <optional>

class FileInfo;
class QLineEdit;
class TagPanel;
class TagWindow;

// The tag editor: shows one file's tag and audio properties in the panel below the job list,
// writes the edited tag back, and opens and closes the panel by resizing the window.
class TagEditor : public QObject, public TagEditorCalls
{
    Q_OBJECT
public:
    TagEditor(TagPanel &panel, TagWindow &window, FileInfo &info, QObject *parent = nullptr);

    bool isOpen() const override;
    // Opens the panel on `path`; reloads when already open.
    void EnterTagMode(const QString &path) override;
    void LeaveTagMode() override;
    void LoadTags(const QString &path) override;
    // The "Update" button: writes the boxes into the file they were loaded from.
    void SaveTags();
    // "<-->": shows the other tag version with the seven shared fields carried over.
    void SwapTagVersion();
    // The tag version buttons: element `index` chooses version index + 1 and reloads.
    void Option1_Click(int index);

    // 1 (ID3v1) or 2 (ID3v2), as the version buttons say.
    int tagVersion() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::array<QLineEdit *, 6> version2Boxes() const;
    void showVersion(int version);
    void setYearText(const QString &text);
    // The number in `box`, 0 when it is empty; nothing (after telling the user, with `reason`
    // after the range) when it is not a whole number from `minimum` to `maximum`.
    std::optional<int> wholeNumber(QLineEdit *box, const QString &name, int minimum, int maximum,
                                   const QString &reason = {});
    void warn(const QString &text);

    TagPanel &m_panel;
    TagWindow &m_window;
    FileInfo &m_info;
    QString m_shown;
    int m_loadedGenre = -1;
    QString m_loadedGenreS;
};
