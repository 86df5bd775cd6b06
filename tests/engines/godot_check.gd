# The sprite atlas's SpriteFrames resource as Godot 3 loads it: every
# animation's frames are AtlasTextures of the pages beside the resource;
# each frame, cut from its page by the region Godot read and put back at its
# margin, is the PNG export's picture of its pair (with the eyes shut or the
# mouth open for a blink or talk animation's second frame), byte for byte.
#
#   VOR_REF_DIR=<folder of the PNG export's still/, blink/, talk/> \
#   godot3-server --path PROJECT -s godot_check.gd
#
# PROJECT holds project.godot and the atlas (its .tres and page pictures).
extends SceneTree

var passed = 0
var failed = 0

func check(ok, what):
	if ok:
		passed += 1
	else:
		failed += 1
		print("FAILED: ", what)

func _init():
	var ref_dir = OS.get_environment("VOR_REF_DIR")
	var dir = Directory.new()
	dir.open("res://")
	dir.list_dir_begin(true)
	var tres = ""
	var name = dir.get_next()
	while name != "":
		if name.ends_with(".tres"):
			tres = name
		name = dir.get_next()
	var frames = load("res://" + tres)
	check(frames is SpriteFrames, "res://%s loads as SpriteFrames" % tres)
	var pages = {}
	var stills = 0
	var animated = 0
	if frames is SpriteFrames:
		for animation in frames.get_animation_names():
			var parts = animation.split("/")
			var count = frames.get_frame_count(animation)
			check(count == (1 if parts.size() == 2 else 2), "%s has its frames (%d)" % [animation, count])
			for k in range(count):
				var texture = frames.get_frame(animation, k)
				check(texture is AtlasTexture, "%s frame %d is an AtlasTexture" % [animation, k])
				if not (texture is AtlasTexture):
					continue
				var page_path = texture.atlas.resource_path
				if not pages.has(page_path):
					var page = Image.new()
					check(page.load(page_path) == OK, "page %s loads" % page_path)
					page.convert(Image.FORMAT_RGBA8)
					pages[page_path] = page
				var kind = "still" if k == 0 else parts[2]
				var exported = Image.new()
				var png = "%s/%s/%s/%s.png" % [ref_dir, kind, parts[0], parts[1]]
				check(exported.load(png) == OK, "%s loads" % png)
				exported.convert(Image.FORMAT_RGBA8)
				check(texture.get_size() == exported.get_size(), "%s has the picture's size" % animation)
				var picture = Image.new()
				picture.create(int(texture.get_size().x), int(texture.get_size().y), false, Image.FORMAT_RGBA8)
				picture.blit_rect(pages[page_path], texture.region, texture.margin.position)
				check(picture.get_data().hex_encode() == exported.get_data().hex_encode(),
					"%s drawn from %s is the PNG export's picture" % [animation, page_path])
				if k > 0:
					animated += 1
				elif parts.size() == 2:
					stills += 1
	check(stills > 0, "at least one pair")
	check(animated > 0, "at least one blink or talk frame")
	print("godot: %d still and %d blink or talk frames over %d page(s)" % [stills, animated, pages.size()])
	print("%d passed, %d failed" % [passed, failed])
	OS.exit_code = 1 if failed > 0 else 0
	quit()
