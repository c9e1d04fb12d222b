#include "confgen/TestCredentials.hpp"

namespace pd {

// Made once from 32 random bytes per password and 16 per salt; the integration tests
// recompute every hash.
const std::array<TestCredentials, 10>& testCredentialSets() {
    static constexpr std::array<TestCredentials, 10> sets = {{
        {"AMBER_FALCON", "iKHtsxpWCupmTMsfTLRNLzfKIahSTdP-iZGlhsbfbXg=",
         "AMBER_FALCON:1c690cf626ca14a4b4c46fd981d460c5$"
         "c578ef79e2fcee1d0e2dab6d943875cd0580a02166b9d3d9da7c9c120a863816"},
        {"COPPER_KESTREL", "T-mHWAj8kLvfEx63wNVazKsx7UDWJfgXyKPu7N8TbD4=",
         "COPPER_KESTREL:dc382e51d4aeffaab33abdcb655e71ff$"
         "956c2aeb5312a9db58041bbc97d66351c03959137200197289d47ee8fdd3337b"},
        {"SILENT_HARBOUR", "cMNk3xQEHJz5EQuEkQ0tLJ9Jg0doXH3miIn_sqP24CI=",
         "SILENT_HARBOUR:85e6b35001473e26ca196bcdac51e643$"
         "8bcb19742eccf83b9b0617a5c9cb1de64cf51d7ca8547d6d52d1a5c3d12b5f60"},
        {"NORTH_LANTERN", "WIa96IA6-PahZsmsjpvpX1_yK7l9RSLrZRo1rnCKhb0=",
         "NORTH_LANTERN:69afa462130b70336679c1eb0150308c$"
         "995943b6c45c9448b5db7fc767f1a5aee5a75245b569bb3dc81b967f23b4fd29"},
        {"QUIET_MERIDIAN", "z7CLZ6-cXyRkyQTQjnx9bXMIb6apmnlRRgOSV_jSGmk=",
         "QUIET_MERIDIAN:d95c255be326f2f3c88e6b8970fb9e9d$"
         "9b97d5e9e57a3d779c9753bbd0c154130d2bb0acbfa7f09087377408605ebf5c"},
        {"RIVER_COMPASS", "74A-eO1UNvd20hQELuR4PEXDtZpinZAvlJXrNh6nDws=",
         "RIVER_COMPASS:7d54ba2e45fdd09cd6e29d66761e5b01$"
         "d234220075397d1269de562e6565f64e623fd5cf752c59b3e0e97fb21fc8ae93"},
        {"STONE_ORCHARD", "jl2v1gINK6E6w6Z31rDmesZ8xx0BAHUFSZ9IOmfuw2s=",
         "STONE_ORCHARD:0effe0e898faf7ccd9e07085d031ddf1$"
         "226146cc9d8f50cf9c1d77c426a43f799804e204b24479171157f6b9428b14d6"},
        {"VELVET_BEACON", "IVS8zAd7j-40tXY7-47P0JHrnuFOvnesQlBp-0pz8ek=",
         "VELVET_BEACON:51ece856d8011df78416020f69c235b8$"
         "e086e51ac0316777d93e826baccfe01e6383d40b1caff054eb80ccf07e6b9194"},
        {"WINTER_ANVIL", "XYHUn8pa4QNWysTG_c7VgLgGl2EPfLXtDS3pGukZd74=",
         "WINTER_ANVIL:ff9000cc151d8cf46315e900ff68b6e9$"
         "945fa2d0ef9741cb9830578ef82f9a0a64383b3e2cdb4f0a5605ad4c30b054d8"},
        {"GOLDEN_TIDEPOOL", "hB-F0o2MGE0tj48bIXoDzhSiyZNA3UEjokGiXMKMDCs=",
         "GOLDEN_TIDEPOOL:1f50a9133bc2063bdcd16ed34fa90744$"
         "ed58fc1e709bc94164f918e3075b70a42e4015f7a801179cd1488d62b6eb2fd7"},
    }};
    return sets;
}

}  // namespace pd
