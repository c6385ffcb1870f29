#pragma once

#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include "modal_answers.h"

namespace velmora::test {

// How a save dialog was set up when it opened.
struct DialogSeen {
  QString title;
  QStringList filters;
  QString suffix;
  QString proposed;
};

// Notes how the dialog was set up, then types `name` into it and saves, or cancels when `name` is empty.
inline ModalAnswers::Answer SaveAs(DialogSeen& seen, const QString& name) {
  return [&seen, name](QWidget& widget) {
    auto* dialog = qobject_cast<QFileDialog*>(&widget);
    ASSERT_NE(dialog, nullptr);
    seen = {dialog->windowTitle(), dialog->nameFilters(), dialog->defaultSuffix(),
            dialog->selectedFiles().value(0)};
    if (name.isEmpty()) {
      dialog->reject();
      return;
    }
    // Typed, as a person does: the dialog's own proposal is replaced in its name field.
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(edit, nullptr);
    dialog->setDirectory(QFileInfo(name).absolutePath());
    Within(2000, [&] {
      edit->setText(QFileInfo(name).fileName());
      return dialog->selectedFiles().value(0) == name;
    });
    static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept, which reads the name typed
  };
}

}  // namespace velmora::test
