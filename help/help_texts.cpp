#include "help/help_texts.h"

#include "help/maker_contact.h"

namespace HelpTexts {

QString General()
{
    return QStringLiteral(
        "Jelen program alkalmas emlékeztető címkék készítésére, azok megjelenítésére.\n"
        "Egy, vagy több gépen használható, az egygépes rendszeren felhasználóazonosítás nélkül.\n"
        "Több gépen (kliens/szerver architektúra) a felhasználók saját maguknak, vagy egymásnak "
        "is létrehozhatnak címkéket, ilyen módon pl. feladatokat, elintéznivalókat, vagy "
        "üzeneteket helyezhetnek el másik felhasználó számítógépén. Ennek futtatásához MySQL "
        "adatbázis kezelő szükséges egy központi számítógépen.\n"
        "A több gépes program összetett jogosultsági rendszerrel bír, meghatározhatóak benne "
        "csoportok, csoport vezetők, melyekhez létrehozhatóak a jogosultságok.");
}

QString LegalStatus()
{
    return QStringLiteral(
        "A Vi-Kora a Zamolin Bt. szellemi tulajdona. A program szabadon használható, és "
        "változatlan formában, díjmentesen továbbadható; módosítani, vagy pénzért árusítani "
        "nem szabad.\n"
        "A programot a készítő a jelenlegi állapotában adja át. A használatából eredő "
        "közvetlen, vagy közvetett károkért, adatvesztésért a készítő semmilyen felelősséget "
        "nem vállal; a program használatával Ön ezeket a feltételeket elfogadja.");
}

QString Requirements()
{
    return QStringLiteral(
        "A program Win9x, WinME, WinNT, Win2000, WinXP operációs rendszereken használható, "
        "függetlenül annak beállításaitól. WinNT, Win2000, WinXP operációs rendszereken "
        "kizárólag rendszergazdai jogokkal telepíthető.\n"
        "Minimális hardware igény Pentium 166Mhz processzor, 64 Mb RAM, ajánlott legkisebb "
        "konfiguráció Pentium 2/ 300Mhz, 64Mb RAM.\n"
        "A program futtatásához semmilyen egyéb program telepítése nem szükséges.");
}

QString Installation()
{
    return QStringLiteral(
        "Ha Ön WinNT, Win2000, WinXP operációs rendszert használ, a program telepítése előtt "
        "győződjön meg róla, hogy rendszergazda jogokkal rendelkezik-e, ha nem, akkor kérje a "
        "rendszergazda segítségét.\n"
        "A program telepítéséhez indítsa el a letöltött \"vikora_setup.exe\" állományt, és "
        "kövesse a setup program útmutatását.");
}

QString NewNote()
{
    return QStringLiteral(
        "Kattintson a tálcán található ikonra az egér jobb gombjával, és válassza a "
        "gyorsmenüből az \"új ablak létrehozása\" parancsot.");
}

QString Settings()
{
    return QStringLiteral(
        "Kattintson a tálcán található ikonra az egér jobb gombjával, és válassza a "
        "gyorsmenüből az \"beállítások\" parancsot.\n"
        "A megjelenő ablakban beállíthatja az alapértelmezett színt, betűtípust, igazítást. "
        "Új ablak létrehozásakor ezek lesznek az alapértékek.");
}

QString Editing()
{
    return QStringLiteral(
        "Az ablakra jobb egérgombbal kattintva a gyorsmenüből választható a \n"
        "- szöveg szerkesztése,\n"
        "- betűtípus, és szín beállítása,\n"
        "- háttérszín megadása,\n"
        "- igazítás megadása.\n"
        "A szöveg szerkesztésének befejeztével ugyancsak gyorsmenüből választható az elmentés "
        "(Ctrl+Enter), vagy a mégsem (Esc) funkció.\n"
        "A program leállításakor valamennyi címke tartalma mentésre kerül.\n"
        "A címkére duplán kattintva lehetőség nyílik annak szerkesztésére, illetve "
        "átméretezésére is.");
}

QString ClosingAndDeleting()
{
    return QStringLiteral(
        "Az ablakra jobb egérgombbal kattintva a gyorsmenüből választható a\n"
        "- címke bezárása,\n"
        "mely ugyan bezárja a címkét, de következő indításkor ismét látható lesz.\n"
        "- címke törlése,\n"
        "mely bezárja a címkét, és adatait törli az adatbázisból.");
}

QString ContactBlock()
{
    return QString::fromUtf8(MakerCompany) + QLatin1Char('\n') +
           QString::fromUtf8(MakerContactPerson) + QLatin1Char('\n') +
           QStringLiteral("Munkaidőben (H-P 8-18h): ") + QString::fromUtf8(MakerPhone);
}

}  // namespace HelpTexts
