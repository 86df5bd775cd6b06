// The names of the data tree on disk, spelled once. The kind folders keep
// the spellings the part collections have always shipped with ("braw",
// "hoho", "accesary"); a corrected spelling would find no parts. They are
// macros so that paths can be joined at compile time ("a" "\\" "b").
#pragma once

// Kind folders directly below the data folder.
#define DATA_KIND_BODY "body"            // the bare body image
#define DATA_KIND_HAIR "hair"            // hair styles
#define DATA_KIND_DRESS "dress"          // dresses, each with its own body
#define DATA_KIND_EYE "eye"              // eye shapes
#define DATA_KIND_BROW "braw"            // eyebrow shapes
#define DATA_KIND_MOUTH "mouth"          // mouth shapes
#define DATA_KIND_CHEEK "hoho"           // cheek blushes
#define DATA_KIND_ACCESSORY "accesary"   // accessories

// The two halves of a hair style, sub-folders of its part folder.
#define DATA_HAIR_FRONT "before"  // drawn over the face
#define DATA_HAIR_BACK "after"    // drawn behind the body

// Image suffixes after a part's stem (its folder key or expression folder).
#define DATA_IMAGE_A "_a.png"  // grey layer tinted with the chosen colour
#define DATA_IMAGE_B "_b.png"  // fixed-colour layer
#define DATA_IMAGE_C "_c.png"  // pattern layer (dresses, accessories)
#define DATA_IMAGE_D "_d.png"  // hair band layer, tinted with the band colour
#define DATA_IMAGE_H "_h.png"  // highlight layer

// Frames of an eye or mouth shape: drawn for a moment in place of an
// expression's own three images, named <expression><frame><suffix>
// ("sumashi_close_a.png"). No name of the older packs has these stems, so a
// pack without frames reads as it always did.
#define DATA_FRAME_CLOSED "_close"  // eye shapes: the eyes shut, for blinking
#define DATA_FRAME_TALK "_talk"     // mouth shapes: the mouth open in speech

// The definition file of every part folder.
#define DATA_DEFINITION "vor.inf"
// The body image: in the body folder, and in each dress folder as the body
// that dress fits.
#define DATA_BODY_IMAGE "sotai.png"
// The bare body, relative to the data folder.
#define DATA_BODY_PATH DATA_KIND_BODY "\\" DATA_BODY_IMAGE
