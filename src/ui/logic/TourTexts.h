#pragma once

#include <QString>

// The help tour's explanations, exactly as the user has always read them (lines joined with CR LF).
namespace tour {

QString mainPageIntro();
QString mainPageCovers();
// Before and after adding a title.
QString addIntro();
QString addDone();
// On opening the sort screen and the search screen.
QString sortScreen();
QString searchScreen();
// On opening the ranking screen.
QString rankScreen();
// On building the cover gallery.
QString gallery();
// On opening the maintenance panel.
QString maintenance();

inline const QString Title = QStringLiteral("ヘルプツアー");
inline const QString OnText = QStringLiteral("ヘルプツアー機能をオンにします。");
inline const QString OnTitle = QStringLiteral("ヘルプツアーＯＮ");
inline const QString OffText = QStringLiteral("ヘルプツアー機能をオフにします。");
inline const QString OffTitle = QStringLiteral("ヘルプツアーＯＦＦ");

} // namespace tour
