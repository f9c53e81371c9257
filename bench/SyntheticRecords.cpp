#include "SyntheticRecords.h"

#include <QStringList>

namespace synthetic {

namespace {

const QStringList TitleHeads = {
    QStringLiteral("銀河"),     QStringLiteral("魔法"), QStringLiteral("放課後"), QStringLiteral("海辺の"),
    QStringLiteral("真夜中の"), QStringLiteral("東京"), QStringLiteral("剣と"),   QStringLiteral("星降る"),
    QStringLiteral("恋する"),   QStringLiteral("無敵"), QStringLiteral("秘密の"), QStringLiteral("最強"),
    QStringLiteral("異世界"),   QStringLiteral("青春"), QStringLiteral("鋼の"),   QStringLiteral("月影"),
};
const QStringList TitleTails = {
    QStringLiteral("探偵団"), QStringLiteral("学園"), QStringLiteral("物語"),   QStringLiteral("戦記"),
    QStringLiteral("食堂"),   QStringLiteral("騎士"), QStringLiteral("少女"),   QStringLiteral("料理人"),
    QStringLiteral("革命"),   QStringLiteral("旅路"), QStringLiteral("事件簿"), QStringLiteral("日和"),
    QStringLiteral("伝説"),   QStringLiteral("王国"),
};
const QStringList Surnames = {
    QStringLiteral("山田"),   QStringLiteral("佐藤"),   QStringLiteral("鈴木"), QStringLiteral("高橋"),
    QStringLiteral("田中"),   QStringLiteral("渡辺"),   QStringLiteral("伊藤"), QStringLiteral("中村"),
    QStringLiteral("小林"),   QStringLiteral("加藤"),   QStringLiteral("吉田"), QStringLiteral("山口"),
    QStringLiteral("松本"),   QStringLiteral("井上"),   QStringLiteral("木村"), QStringLiteral("林"),
    QStringLiteral("清水"),   QStringLiteral("山崎"),   QStringLiteral("森"),   QStringLiteral("池田"),
    QStringLiteral("あさぎ"), QStringLiteral("ミズノ"), QStringLiteral("藤原"), QStringLiteral("岡本"),
};
const QStringList GivenNames = {
    QStringLiteral("太郎"),   QStringLiteral("花子"),   QStringLiteral("あきら"), QStringLiteral("ゆうき"),
    QStringLiteral("健一"),   QStringLiteral("美咲"),   QStringLiteral("カオル"), QStringLiteral("翔"),
    QStringLiteral("さくら"), QStringLiteral("誠"),     QStringLiteral("ひかり"), QStringLiteral("リョウ"),
    QStringLiteral("直樹"),   QStringLiteral("真由美"), QStringLiteral("つばさ"), QStringLiteral("大輔"),
};
const QStringList MagazineKinds = {QStringLiteral("週刊"), QStringLiteral("月刊"), QStringLiteral("別冊"),
                                   QStringLiteral("増刊"), QStringLiteral("季刊")};
const QStringList MagazineAudiences = {
    QStringLiteral("少年"),   QStringLiteral("少女"),   QStringLiteral("ヤング"),     QStringLiteral("コミック"),
    QStringLiteral("まんが"), QStringLiteral("ビッグ"), QStringLiteral("モーニング"),
};
const QStringList MagazineNames = {
    QStringLiteral("ジャンプ"), QStringLiteral("マガジン"), QStringLiteral("サンデー"), QStringLiteral("チャンピオン"),
    QStringLiteral("ガンガン"), QStringLiteral("エース"),   QStringLiteral("フレンド"), QStringLiteral("タイム"),
};
const QStringList Ratings = {QStringLiteral("◎"), QStringLiteral("○"), QStringLiteral("△"), QStringLiteral("未")};

template <typename T> const T& pick(const QList<T>& list, int n)
{
    return list.at(n % list.size());
}

QString date(int year, int month, int day)
{
    return QStringLiteral("%1/%2/%3")
        .arg(year, 4, 10, QLatin1Char('0'))
        .arg(month, 2, 10, QLatin1Char('0'))
        .arg(day, 2, 10, QLatin1Char('0'));
}

} // namespace

QString fullWidthNumber(int n)
{
    QString text = QString::number(n);
    for (QChar& c : text)
        c = QChar(char16_t(c.unicode() - u'0' + u'０'));
    return text;
}

TitleRecord record(int index)
{
    const int i = index - 1;
    TitleRecord r;
    r.title = pick(TitleHeads, i) + pick(TitleTails, i / 16) + fullWidthNumber(index);
    r.volumeCount = qint16(1 + (i * 13) % 50);
    r.startVolume = qint16(i % 20 == 19 ? 50 : 0);
    r.author = pick(Surnames, i * 7) + pick(GivenNames, i / 3) + fullWidthNumber(index);
    r.magazine =
        pick(MagazineKinds, i) + pick(MagazineAudiences, i / 5) + pick(MagazineNames, i / 35) + fullWidthNumber(index);
    r.rating = pick(Ratings, i);
    const int firstYear = 1970 + (i * 7) % 54;
    r.firstIssue = date(firstYear, 1 + (i * 5) % 12, 1 + (i * 11) % 28);
    r.lastIssue = date(firstYear + i % 10, 1 + (i * 3) % 12, 1 + (i * 17) % 28);
    return r;
}

QString collectionLine(const TitleRecord& r)
{
    return QStringLiteral("\"%1\",%2,%3,\"%4\",\"%5\",\"%6\",\"%7\",\"%8\"\r\n")
        .arg(r.title, QString::number(r.volumeCount), QString::number(r.startVolume), r.author, r.magazine, r.rating,
             r.firstIssue, r.lastIssue);
}

QString volumeFileText(int index)
{
    QString text;
    for (int line = 0; line < 5; ++line) {
        QStringList values;
        for (int k = 0; k < 10; ++k)
            values << (k == (index + line) % 10 ? QStringLiteral("1") : QStringLiteral("0"));
        text += values.join(u',') + QStringLiteral("\r\n");
    }
    return text;
}

QString memoText(int index)
{
    return QStringLiteral("第１巻は初版で購入（整理番号%1）。\r\n帯付き、状態良好。\r\n続刊は書店で予約済み。\r\n")
        .arg(fullWidthNumber(index));
}

} // namespace synthetic
