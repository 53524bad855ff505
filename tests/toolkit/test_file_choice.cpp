// File dialogs: Qt's own texts in Russian, the folder they open in, and the last folder kept
// for the next run.
#include "toolkit/file_choice.h"

#include <QDir>
#include <QFileDialog>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(FileChoice, TheDialogSpeaksRussian)
{
    QFileDialog dialog(nullptr, "Сохранить рисунок");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    QStringList buttons;
    for (const QPushButton* button : dialog.findChildren<QPushButton*>())
        buttons << button->text();
    EXPECT_TRUE(buttons.contains("&Сохранить")) << buttons.join('|').toStdString();
    EXPECT_TRUE(buttons.contains("Отмена")) << buttons.join('|').toStdString();
}

TEST(FileChoice, TheLastFolderIsRememberedWhileItExistsThenTheDocuments)
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString firstFolder = QDir(documents).exists() ? documents : QDir::homePath();
    EXPECT_EQ(fileDialogFolder(), firstFolder);

    auto chosen = std::make_unique<QTemporaryDir>();
    const QString path = chosenSaveFile(
        nullptr, [&] { return chosen->filePath("дерево"); }, "Сохранить рисунок",
        "Рисунок PNG (*.png)", ".png");
    EXPECT_EQ(path, chosen->filePath("дерево.png"));
    EXPECT_EQ(fileDialogFolder(), chosen->path());
    // Kept on the disk for the next run, in the user's settings folder.
    QFile settings(qEnvironmentVariable("XDG_CONFIG_HOME") + "/velimor/velimor.conf");
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_TRUE(settings.readAll().contains(QFile::encodeName(chosen->path())));

    // A cancelled choice changes nothing; a folder gone since is not offered.
    EXPECT_TRUE(chosenSaveFile(
                    nullptr, [] { return QString(); }, "", "", ".png")
                    .isEmpty());
    EXPECT_EQ(fileDialogFolder(), chosen->path());
    chosen.reset();
    EXPECT_EQ(fileDialogFolder(), firstFolder);
}
