// File dialogs: Qt's own texts in Russian, the folder they open in, and the last folder kept
// for the next run.
#include "tests/support/scratch_folder.h"
#include "toolkit/file_choice.h"

#include <QDir>
#include <QFileDialog>
#include <QPushButton>
#include <QStandardPaths>
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

    auto chosen = std::make_unique<ScratchFolder>();
    const QString folder = QString::fromStdString(chosen->path().string());
    const QString path = chosenSaveFile(
        nullptr, [&] { return folder + "/дерево"; }, "Сохранить рисунок", "Рисунок PNG (*.png)",
        ".png");
    EXPECT_EQ(path, folder + "/дерево.png");
    EXPECT_EQ(fileDialogFolder(), folder);
    // Kept on the disk for the next run, in the user's settings folder.
    QFile settings(qEnvironmentVariable("XDG_CONFIG_HOME") + "/velimor/velimor.conf");
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_TRUE(settings.readAll().contains(QFile::encodeName(folder)));

    // A cancelled choice changes nothing; a folder gone since is not offered.
    EXPECT_TRUE(chosenSaveFile(
                    nullptr, [] { return QString(); }, "", "", ".png")
                    .isEmpty());
    EXPECT_EQ(fileDialogFolder(), folder);
    chosen.reset();
    EXPECT_EQ(fileDialogFolder(), firstFolder);
}
