#pragma once

#include <QString>
#include <QStringList>

namespace perikon {

// Resource texts and message boxes over the host's UI helper and resource service. Keys are sent
// exactly as written; whatever text comes back, an empty one included, is used unchanged.

// The text of `key` in `languageId`; an empty language means the session language of gLogin.
QString GetResText(const QString &key, const QString &languageId = {});
// The text of `key` with `args` filled in, in the same language rule as GetResText.
QString GetResFormat(const QString &key, const QStringList &args, const QString &languageId = {});
// The text of `key` from the resource-string service (data-access messages).
QString GetResServiceText(const QString &key);
// The text of `key` with `args` filled in by a formatter made for this call; empty on any failure.
QString GetResArgs(const QString &key, const QStringList &args);

// An information box with one OK button, titled in the session language.
void ShowMessage(const QString &text);
// A message box of the given style; returns the code of the pressed button.
int MsgBox(const QString &text, int style, const QString &title = {});

} // namespace perikon
