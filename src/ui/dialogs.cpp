#include "ui/dialogs.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStringList>

#include "ui/ics_import_dialog.h"

namespace yorbel::gui {

void Dialogs::NoteFolderOf(const QString& file) {
    StartFolder = QFileInfo(file).absolutePath();
    if (FolderUsed) FolderUsed(StartFolder);
}

std::optional<OpenChoice> PlatformDialogs::GetOpenFile(QWidget* parent, const QString& title,
                                                       const QString& filter,
                                                       const QString& read_only_label) {
    QFileDialog dialog(parent, title, StartFolder);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilter(filter);
    QCheckBox* read_only = nullptr;
    if (!read_only_label.isEmpty()) {
        // The read-only box needs Qt's own dialog: a native one cannot carry extra controls.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
            read_only = new QCheckBox(read_only_label, &dialog);
            grid->addWidget(read_only, grid->rowCount(), 0, 1, -1);
        }
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    NoteFolderOf(dialog.selectedFiles().constFirst());
    return OpenChoice{dialog.selectedFiles().constFirst(), read_only && read_only->isChecked()};
}

std::optional<QString> PlatformDialogs::GetSaveFile(QWidget* parent, const QString& title,
                                                    const QString& filter,
                                                    const QString& default_suffix,
                                                    const QString& proposed_name,
                                                    QString* chosen_filter) {
    QFileDialog dialog(parent, title, StartFolder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(default_suffix);
    // A name typed without extension takes the chosen type's, so that the overwrite
    // question and the file written are the ones of that type ("All files" keeps the
    // default).
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, default_suffix](const QString& entry) {
                         const QString suffix = FilterSuffix(entry);
                         dialog.setDefaultSuffix(suffix.isEmpty() ? default_suffix : suffix);
                     });
    dialog.selectFile(proposed_name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    if (chosen_filter) *chosen_filter = dialog.selectedNameFilter();
    NoteFolderOf(dialog.selectedFiles().constFirst());
    return dialog.selectedFiles().constFirst();
}

bool PlatformDialogs::SetUpPrinter(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    return dialog.exec() == QDialog::Accepted;
}

QMessageBox::StandardButton PlatformDialogs::Ask(QWidget* parent, QMessageBox::Icon icon,
                                                 const QString& caption, const QString& text,
                                                 QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, caption, text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void PlatformDialogs::Tell(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                           const QString& text) {
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

void Dialogs::TellWithDetails(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
                              const QString& text, const QString& details) {
    Tell(parent, icon, caption, details.isEmpty() ? text : text + QStringLiteral("\n\n") + details);
}

void PlatformDialogs::TellWithDetails(QWidget* parent, QMessageBox::Icon icon,
                                      const QString& caption, const QString& text,
                                      const QString& details) {
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
    box.setDetailedText(details);
    box.exec();
}

std::optional<IcsImportChoice> PlatformDialogs::AskIcsImport(QWidget* parent,
                                                             const AppContext& context,
                                                             const IcsImportChoice& proposal) {
    IcsImportDialog dialog(parent, context, proposal);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Choice();
}

QMessageBox::StandardButton Dialogs::AskWithTexts(QWidget* parent, QMessageBox::Icon icon,
                                                  const QString& caption, const QString& text,
                                                  const ButtonTexts& buttons,
                                                  QMessageBox::StandardButton) {
    QMessageBox::StandardButtons all;
    for (const auto& [button, label] : buttons) all |= button;
    return Ask(parent, icon, caption, text, all);
}

QMessageBox::StandardButton PlatformDialogs::AskWithTexts(QWidget* parent, QMessageBox::Icon icon,
                                                          const QString& caption,
                                                          const QString& text,
                                                          const ButtonTexts& buttons,
                                                          QMessageBox::StandardButton safe_button) {
    QMessageBox box(icon, caption, text, QMessageBox::NoButton, parent);
    for (const auto& [button, label] : buttons) box.addButton(button)->setText(label);
    if (safe_button != QMessageBox::NoButton) {
        box.setDefaultButton(safe_button);
        box.setEscapeButton(safe_button);
    }
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QString QtFileFilter(const QString& filter) {
    if (filter.contains(QStringLiteral(";;")) || !filter.contains(QLatin1Char('|'))) return filter;
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        const QString& description = parts[i];
        // Descriptions often carry their pattern already: "Calendars (*.yrb)".
        filters << (description.contains(QLatin1Char('(')) ? description
                                                           : description + " (" + patterns + ")");
    }
    if (parts.size() % 2 == 1 && !parts.last().isEmpty()) filters << parts.last();
    return filters.join(QStringLiteral(";;"));
}

QString FilterSuffix(const QString& filter_entry) {
    const qsizetype star = filter_entry.indexOf(QStringLiteral("*."));
    if (star < 0) return {};
    qsizetype end = star + 2;
    while (end < filter_entry.size() && filter_entry[end].isLetterOrNumber()) ++end;
    return filter_entry.mid(star + 2, end - star - 2);
}

}  // namespace yorbel::gui
