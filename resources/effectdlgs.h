#pragma once
// Resource ids of effectdlgs: the effect parameter dialogs of Picture Studio
// and the Object Properties dialog.

// The parameter dialogs.
#define IDD_EFX_ONE_VALUE 14061
#define IDD_EFX_TWO_VALUES 14059
#define IDD_EFX_ADD_NOISE 14062
#define IDD_EFX_EMBOSS 14063
#define IDD_EFX_UNDERLAY 14053
#define IDD_EFX_COLOR_RES 14066

// Their controls. Sliders, spin buttons and edits come in pairs: the first
// value's and the second value's.
#define IDC_EFX_SLIDER 577
#define IDC_EFX_SPIN 578
#define IDC_EFX_EDIT 579
#define IDC_EFX_SLIDER2 580
#define IDC_EFX_SPIN2 581
#define IDC_EFX_EDIT2 582
// Add Noise's channel and Underlay's picture path take the second spin's id.
#define IDC_EFX_COMBO 581
#define IDC_EFX_CHECK 524
#define IDC_EFX_BROWSE 586
#define IDC_EFX_GROUP1 590
#define IDC_EFX_GROUP2 591
#define IDC_EFX_GROUP 600
// Radio buttons: Emboss's eight directions (701-708, N clockwise to NW),
// Underlay's Tile and Stretch (701, 702), Color Resolution's depths
// (701-705), palettes (706, 707) and dithers (708-710).
#define IDC_EFX_RADIO1 701
#define IDC_EFX_RADIO2 702
#define IDC_EFX_RADIO3 703
#define IDC_EFX_RADIO4 704
#define IDC_EFX_RADIO5 705
#define IDC_EFX_RADIO6 706
#define IDC_EFX_RADIO7 707
#define IDC_EFX_RADIO8 708
#define IDC_EFX_RADIO9 709
#define IDC_EFX_RADIO10 710
// The control of Picture Studio that the parameter dialogs sit over.
#define IDC_EFX_STUDIO_FRAME 589

// Styles of the spin buttons and sliders of the templates: a spin shows
// its position in its buddy without thousands separators; a slider draws
// its ticks.
#define EFX_SPIN_STYLE 0x0082
#define EFX_SLIDER_STYLE 0x0001

// Object Properties.
#define IDD_OBJECT_PROPS 594
#define IDC_OBJPROPS_TO 701
#define IDC_OBJPROPS_MESSAGE 702
#define IDC_OBJPROPS_CLOSING 703
#define IDC_OBJPROPS_FROM 704
#define IDC_OBJPROPS_ADDRESS_TO 705
#define IDC_OBJPROPS_NONE 706
#define IDC_OBJPROPS_RETURN_ADDRESS 707
#define IDC_OBJPROPS_YOUR_NAME 708
#define IDC_OBJPROPS_COMPANY 709
#define IDC_OBJPROPS_RECIPIENT 710
#define IDC_OBJPROPS_AWARD_FOR 711
#define IDC_OBJPROPS_TITLE 712
#define IDC_OBJPROPS_MISC 713
#define IDC_OBJPROPS_NOT_PRINTABLE 776
#define IDC_OBJPROPS_PRINTABLE 777
