#pragma once

// The maker's addresses, shown and opened by the tray menu, the help window
// and the program catalogue.
inline constexpr char MakerHomePage[] = "https://www.zamolin.example/";
inline constexpr char MakerEmail[] = "info@zamolin.example";
inline constexpr char MakerSecondWebSite[] = "https://programok.zamolin.example/";
inline constexpr char CatalogueAddress[] = "https://www.zamolin.example/prgcsv.php";
