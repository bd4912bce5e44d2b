#pragma once

// The dialogs morvanclarity-edit shows around the filter's window: which photo to open, where to
// save the sharpened copy, whether to replace a file that is there, and what went wrong. Their
// object names let tests find and answer them.

#include <QString>

class QWidget;

// The Open dialog ("openDialog") in `folder`; empty when the person cancelled.
QString askForPhoto(QWidget* parent, const QString& folder);

// The Save dialog ("saveDialog", one for the program's life) with `proposed` selected and its
// format's files listed; empty when the person cancelled. It does not ask about existing files:
// askToReplace does.
QString askWhereToSave(QWidget* parent, const QString& proposed);

// "replaceQuestion": whether `path`, which exists, may be replaced; `isOriginal` says that it is
// the photo that was opened.
bool askToReplace(QWidget* parent, const QString& path, bool isOriginal);

// "discardQuestion": the Save dialog was cancelled; true when the sharpened photo may go unsaved.
bool askToDiscard(QWidget* parent);

// "problemBox": a problem in words, with an OK button; also said on standard error.
void tellProblem(QWidget* parent, const QString& text);
