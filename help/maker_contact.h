#pragma once

// The maker's contact details shown in the help window and the about box;
// the addresses themselves are in desktop/maker_addresses.h.
inline constexpr char MakerCompany[] = "Zamolin Bt.";
inline constexpr char MakerContactPerson[] = "Minta Péter";
inline constexpr char MakerPhone[] = "+36 1 555 0100";
inline constexpr char MakerMobilePhone[] = "+36 30 555 0100";
