// The layer tree: lookup, creation order, placement, images and destruction.
#include <doctest.h>

#include "layer_test_support.h"
#include "layers/layer.h"

using namespace layertest;

namespace {

int g_destroyedCount;
void CountDestroyed(void *) { g_destroyedCount++; }

}  // namespace

TEST_CASE("lookup does not descend; chained lookups reach sub-layers")
{
    Layer *root = Layer_Create(0, nullptr);
    Layer *part = Layer_Create(2005, root);
    Layer *sub = Layer_Create(2016, part);

    CHECK(Layer_Find(root, 2016) == nullptr);
    CHECK(Layer_Find(root, 2005) == part);
    CHECK(Layer_Find(Layer_Find(root, 2005), 2016) == sub);
    CHECK(Layer_Find(nullptr, 2005) == nullptr);
    CHECK(sub->parent == part);
    Layer_Destroy(root);
}

TEST_CASE("of two siblings with one id, the one created first is found")
{
    Layer *root = Layer_Create(0, nullptr);
    Layer_Create(1, root);
    Layer *first = Layer_Create(7, root);
    Layer *second = Layer_Create(7, root);
    CHECK(Layer_Find(root, 7) == first);
    Layer_Destroy(first);
    CHECK(Layer_Find(root, 7) == second);
    Layer_Destroy(root);
}

TEST_CASE("new layers start with their documented defaults")
{
    Layer *root = Layer_Create(0, nullptr);
    Layer *bare = Layer_Create(3, root);
    Layer *image = Layer_CreateImage(4, root);
    CHECK(bare->rect.right == 100);
    CHECK(bare->rect.bottom == 100);
    CHECK(bare->flags == 0x81);
    CHECK(Layer_GetImage(bare) == nullptr);
    CHECK(image->rect.right == 0);
    CHECK(image->flags == 0x81);
    REQUIRE(Layer_GetImage(image) != nullptr);
    CHECK(Layer_GetImage(image)->image == nullptr);
    CHECK(Layer_GetImage(image)->palette == nullptr);
    CHECK(PtrList_Count(root->children) == 2);
    CHECK(PtrList_Get(root->children, 0) == bare);
    Layer_Destroy(root);
}

TEST_CASE("setting no image keeps the rect; a new image resizes from the same corner")
{
    Layer *layer = Layer_CreateImage(1, nullptr);
    Layer_MoveTo(layer, 5, 6);
    CHECK(Layer_SetImage(layer, SolidImage(30, 40, {1, 2, 3, 255})) == 1);
    CHECK(layer->rect.left == 5);
    CHECK(layer->rect.top == 6);
    CHECK(layer->rect.right == 35);
    CHECK(layer->rect.bottom == 46);

    CHECK(Layer_SetImage(layer, nullptr) == 0);
    CHECK(Layer_GetImage(layer)->image == nullptr);
    CHECK(layer->rect.left == 5);
    CHECK(layer->rect.right == 35);
    CHECK(layer->rect.bottom == 46);

    Layer_MoveTo(layer, -2, 9);
    CHECK(Layer_SetImage(layer, SolidImage(10, 20, {1, 2, 3, 255})) == 1);
    CHECK(layer->rect.left == -2);
    CHECK(layer->rect.top == 9);
    CHECK(layer->rect.right == 8);
    CHECK(layer->rect.bottom == 29);
    Layer_Destroy(layer);
}

TEST_CASE("a bare layer refuses an image and frees it")
{
    // The sanitizer build reports the image as leaked if it is not freed.
    Layer *bare = Layer_Create(1, nullptr);
    CHECK(Layer_SetImage(bare, SolidImage(4, 4, {0, 0, 0, 255})) == 0);
    CHECK(bare->rect.right == 100);
    Layer_Destroy(bare);
}

TEST_CASE("moving a group moves every layer below it in absolute coordinates")
{
    Layer *root = Layer_Create(0, nullptr);
    Layer_MoveTo(root, 1, 1);
    Layer *group = Layer_Create(2005, root);
    Rect_Set(&group->rect, 0, 0, 0, 0);
    Layer *child = Layer_CreateImage(2016, group);
    Layer *grandchild = Layer_Create(3, child);
    Layer_MoveTo(child, 4, 5);
    Layer_MoveTo(grandchild, 10, 10);
    Rect_Set(&grandchild->rect, 10, 10, 12, 13);

    Rect r = Layer_AbsRect(grandchild);
    CHECK(r.left == 15);
    CHECK(r.top == 16);

    Layer_MoveTo(group, 100, 200);
    CHECK(group->rect.right == 100);  // size 0 x 0 kept
    r = Layer_AbsRect(grandchild);
    CHECK(r.left == 115);
    CHECK(r.top == 216);
    CHECK(r.right == 117);
    CHECK(r.bottom == 219);
    r = Layer_AbsRect(child);
    CHECK(r.left == 105);
    CHECK(r.top == 206);
    Layer_Destroy(root);
}

TEST_CASE("destroying a group destroys its subtree once and detaches it")
{
    Layer *root = Layer_Create(0, nullptr);
    Layer *keep = Layer_Create(1, root);
    Layer *group = Layer_Create(2, root);
    g_destroyedCount = 0;
    for (int i = 0; i < 3; i++) {
        Layer *child = SolidLayer(group, 10 + i, 0, 0, 8, 8, {9, 9, 9, 255});
        Layer_SetName(child, "child");
        Layer *hooked = Layer_Create(20 + i, child);
        hooked->destroyHook = CountDestroyed;
    }
    Layer_Destroy(group);
    CHECK(g_destroyedCount == 3);
    CHECK(PtrList_Count(root->children) == 1);
    CHECK(PtrList_Get(root->children, 0) == keep);
    CHECK(Layer_Find(root, 2) == nullptr);
    Layer_Destroy(nullptr);
    Layer_Destroy(root);
}

TEST_CASE("names are copies and can be replaced or cleared")
{
    Layer *layer = Layer_Create(1, nullptr);
    char text[] = "머리";
    CHECK(Layer_SetName(layer, text) == 1);
    text[0] = 'x';
    CHECK(std::string(layer->name) == std::string("머리"));
    CHECK(Layer_SetName(layer, "body") == 1);
    CHECK(std::string(layer->name) == "body");
    CHECK(Layer_SetName(layer, nullptr) == 1);
    CHECK(layer->name == nullptr);
    Layer_Destroy(layer);
}
